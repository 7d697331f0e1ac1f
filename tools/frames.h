// Waiting on a window's own frames: the X server reports the damage each frame does to
// the window (the Damage extension), and the reader looks at the pixels again after each
// report, until they show what it waits for or its deadline passes.
#pragma once

#include <X11/Xlib.h>

#include "tools/xdrive.h"

struct FrameWatch {
    Display* display = nullptr;  // the connection the reports come on
    Window window = None;
    unsigned long damage = 0;  // the server's Damage object on the window
    int damageEvent = 0;       // the event type of its reports
    long reports = 0;          // damage reports read; every frame drawn makes one
};

// Starts watching `window` on `display`; false when the server has no Damage extension.
// The watch reads every event that comes on that connection and keeps only its reports.
bool watchFrames(FrameWatch& watch, Display* display, Window window);
void stopWatchingFrames(FrameWatch& watch);

// Reads the reports that have come, without waiting.
void readFrameReports(FrameWatch& watch);
// Waits until a report comes or `deadline` passes; true when one came.
bool awaitFrameReport(FrameWatch& watch, Clock::time_point deadline);

// Grabs the window, and again after every frame drawn after that grab, until `accept`
// takes the picture (left in `seen`); false when it takes none within `limit`. No frame
// is missed: the reports read before a grab are of frames that the grab sees.
template <typename Accept>
bool awaitFrame(FrameWatch& watch, Image& seen, Seconds limit, Accept accept)
{
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    for (;;) {
        readFrameReports(watch);
        if (grabWindow(watch.display, watch.window, seen) && accept(seen))
            return true;
        if (!awaitFrameReport(watch, deadline))
            return false;
    }
}
