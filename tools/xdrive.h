// xdrive: runs a program in a private X server and plays it as a player would, with
// real X events (XTest), reading the answer back from the window's pixels. For the
// end-to-end tests and the screenshot tool.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "tools/png.h"

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// A private Xvfb server and one connection to it.
struct XServer {
    pid_t pid = 0;
    std::string name;  // ":N"
    Display* display = nullptr;
};

// Starts Xvfb on a free display (1600 x 1200, 24-bit) and connects; false on failure.
bool startXServer(XServer& server);
void stopXServer(XServer& server);

// A program started by launch, its standard output and error read into strings.
struct Child {
    pid_t pid = 0;
    int out = -1, err = -1;
    std::string outText, errText;
    int status = -1;         // exit status once reaped, -1 before
    bool signalled = false;  // ended by a signal instead
};

// Starts `argv` (argv[0] is the path) with DISPLAY set to the server, each
// "NAME=value" of `env` added to the environment and each bare "NAME" taken out.
bool launch(Child& child, const XServer& server, const std::vector<std::string>& argv,
            const std::vector<std::string>& env = {});
// Polls until the child ends or `limit` passes; true when it ended.
bool awaitExit(Child& child, Seconds limit);
// Kills a child that is still running, with all it started, reaps it and keeps what
// it wrote.
void endChild(Child& child);

// Polls for a viewable window whose WM_NAME is `title`; None when none shows in time.
Window awaitWindow(Display* display, const std::string& title, Seconds limit);

// A 32-bit property of a window (atoms, windows, cardinals, hints) as longs, as Xlib
// hands them out; empty when the window has no such property.
std::vector<long> windowProperty(Display* display, Window window, const char* name);
// An 8-bit STRING property (WM_CLASS, say) as its raw bytes, NULs included; empty when
// the window has no such property.
std::string windowString(Display* display, Window window, const char* name);

// The client area's position on the root window and its size.
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};
Geometry windowGeometry(Display* display, Window window);

// Reads the window's pixels; false when the server refuses (window not viewable).
bool grabWindow(Display* display, Window window, Image& image);
// Polls the window's pixels until `ready` accepts them; false when it does not in time.
bool awaitPicture(Display* display, Window window, Image& image, Seconds limit,
                  bool (*ready)(const Image&));
// A frame has been drawn once any pixel is the clear colour, pure red.
bool hasRed(const Image& image);

// Real input through XTest: moves the pointer to the window's centre, as a player
// would before typing, then presses and releases the key.
void tapKeyOver(Display* display, Window window, unsigned long keysym);
// Holds a key down, as a player does to make the keyboard repeat it, and lets it go.
void pressKey(Display* display, unsigned long keysym);
void releaseKey(Display* display, unsigned long keysym);
// Moves the pointer to pixel (x, y) of the window's client area (which may lie outside
// it) without pressing anything.
void movePointerTo(Display* display, Window window, int x, int y);
// Moves the pointer to pixel (x, y) of the window and presses X button `button`
// (1 left, 2 middle, 3 right, 4 and 5 the wheel); releaseButton lets it go.
void pressButtonAt(Display* display, Window window, int x, int y, unsigned button);
void releaseButton(Display* display, unsigned button);

// Polls `condition` until it holds or `limit` passes.
template <typename Condition> bool awaitCondition(Condition condition, Seconds limit)
{
    auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        struct timespec step = {0, 2'000'000};
        nanosleep(&step, nullptr);
    }
}
