// A player's worst minute: thousands of real X events as fast as the server takes them
// (presses of every button anywhere in the window and its margins, drags out of it with
// more presses on the way, turn keys held until they repeat, other keys), against the
// test's own model of the table and the turn. Afterwards the program must answer at
// once with exactly the model's picture, hold no more memory than before, and quit.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/cross_model.h"

namespace {

constexpr int stormEvents = 5000;  // XTest events sent: motions, buttons and keys
constexpr int turnKeyHolds = 6;    // INSERT or DELETE held down ...
constexpr int repeatsPerHold = 5;  // ... until the keyboard has repeated it this often
constexpr int keyShare = 25;       // keys other than the held ones, per hundred gestures
constexpr int marginWidth = 16;    // pixels right of and below the grid
constexpr int flushEvery = 64;     // events sent between flushes
constexpr long memorySlackKiB = 1024;
constexpr auto answerLimit = std::chrono::seconds(2);
constexpr auto repeatLimit = std::chrono::seconds(5);
// Under AddressSanitizer the allocator keeps freed memory aside to catch late use, and
// Mesa frees megabytes a frame: the resident size is then the sanitizer's, not ours.
#ifdef KNOTWERRY_SANITIZED
constexpr bool plainAllocator = false;
#else
constexpr bool plainAllocator = true;
#endif

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

class Storm : public ModelledRun {
  protected:
    void SetUp() override
    {
        ModelledRun::SetUp();
        if (HasFatalFailure())
            return;

        display = server.display;
        origin = windowGeometry(display, window);
        int errorBase;
        ASSERT_TRUE(XDamageQueryExtension(display, &damageEvent, &errorBase));
        damageEvent += XDamageNotify;
        // Every swap puts the whole frame into the window: one damage report a frame.
        damage = XDamageCreate(display, window, XDamageReportRawRectangles);
        // The turn keys the program is sent are counted here as it gets them, repeats
        // included; the keyboard follows the window.
        XSelectInput(display, window, KeyPressMask);
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        XSync(display, False);
        insertKey = XKeysymToKeycode(display, XK_Insert);
        deleteKey = XKeysymToKeycode(display, XK_Delete);
        readEvents();
        frames = 0;
    }

    void TearDown() override
    {
        if (damage)
            XDamageDestroy(display, damage);
        KnotwerryRun::TearDown();
    }

    // What came back on our own connection: frames drawn and turn keys delivered.
    void readEvents()
    {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == damageEvent) {
                ++frames;
            } else if (event.type == KeyPress && event.xkey.keycode == insertKey) {
                twist += 1.0;
                ++turnKeyPresses;
            } else if (event.type == KeyPress && event.xkey.keycode == deleteKey) {
                twist -= 1.0;
                ++turnKeyPresses;
            }
        }
    }

    void sent()
    {
        if (++events % flushEvery == 0)
            XFlush(display);
    }
    // To window pixel (x, y); the server keeps the pointer on its screen.
    void move(int x, int y)
    {
        XTestFakeMotionEvent(display, DefaultScreen(display), origin.x + x, origin.y + y, 0);
        pointer = {x, y};
        sent();
    }
    // A press flips where the pointer is, in the window or, while another button is
    // held, wherever the drag has taken it.
    void button(unsigned which, bool down)
    {
        XTestFakeButtonEvent(display, which, down, 0);
        if (down) {
            pressInModel(pointer);
            ++presses;
        }
        sent();
    }
    void key(KeySym sym, bool down)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down, 0);
        sent();
    }

    // A spot in the window, one in five in the margins right of and below the grid.
    Press somewhere()
    {
        const int edge = windowSize - marginWidth;
        Press p = {dice.below(windowSize), dice.below(windowSize)};
        switch (dice.below(10)) {
        case 0:
            p.x = dice.between(edge, windowSize - 1);
            break;
        case 1:
            p.y = dice.between(edge, windowSize - 1);
            break;
        }
        return p;
    }
    // Anywhere on the screen, the window's pixels or not.
    Press anywhere()
    {
        int width = DisplayWidth(display, DefaultScreen(display));
        int height = DisplayHeight(display, DefaultScreen(display));
        return {dice.below(width) - origin.x, dice.below(height) - origin.y};
    }

    void tap()
    {
        Press p = somewhere();
        unsigned which = unsigned(dice.between(1, 5));
        move(p.x, p.y);
        button(which, true);
        button(which, false);
    }
    // Down in the window, dragged about and out of it, another button pressed on the
    // way (the window still gets it, wherever it is), then let go.
    void drag()
    {
        Press p = somewhere();
        unsigned held = unsigned(dice.between(1, 5));
        move(p.x, p.y);
        button(held, true);
        for (int steps = dice.between(2, 6); steps > 0; --steps) {
            Press to = anywhere();
            move(to.x, to.y);
        }
        if (dice.below(2)) {
            unsigned other = held % 5 + 1;
            button(other, true);
            button(other, false);
        }
        button(held, false);
    }
    // Anywhere on the screen, with no button down.
    void wander()
    {
        Press p = anywhere();
        move(p.x, p.y);
    }
    void otherKey()
    {
        static const KeySym others[] = {XK_a,         XK_Z,         XK_0,    XK_9,    XK_space,
                                        XK_Return,    XK_BackSpace, XK_Tab,  XK_Left, XK_Right,
                                        XK_Up,        XK_Down,      XK_Home, XK_End,  XK_Page_Up,
                                        XK_Page_Down, XK_F1,        XK_F5,   XK_F12,  XK_Shift_L};
        KeySym sym = others[dice.below(sizeof others / sizeof others[0])];
        key(sym, true);
        key(sym, false);
    }
    // Held until the keyboard has repeated it; a player's finger on INSERT or DELETE.
    bool holdTurnKey(KeySym sym)
    {
        XSync(display, False);
        readEvents();
        const int before = turnKeyPresses;
        key(sym, true);
        XFlush(display);
        bool repeated = awaitCondition(
            [&] {
                readEvents();
                return turnKeyPresses - before > repeatsPerHold;
            },
            repeatLimit);
        key(sym, false);
        ++holds;
        return repeated;
    }

    Display* display = nullptr;
    Geometry origin;
    Damage damage = 0;
    int damageEvent = 0;
    KeyCode insertKey = 0, deleteKey = 0;
    Dice dice;
    Press pointer = {0, 0};

    double twist = 0.0;
    int events = 0, presses = 0, holds = 0, turnKeyPresses = 0, frames = 0;
};

TEST_F(Storm, EveryEventCountsTheProgramAnswersAtOnceAndKeepsItsMemory)
{
    const long residentAtFirstFrame = residentKiB(program.pid);
    ASSERT_GT(residentAtFirstFrame, 0);
    // One event of each kind first, outside the count: the code that handles each is
    // paged in at its first use, and Xlib reads the keyboard map at the first key, once.
    // What the storm itself leaves behind is measured from here.
    move(windowSize / 2, windowSize / 2);
    for (KeySym sym : {XK_a, XK_Insert, XK_Delete}) {
        key(sym, true);
        key(sym, false);
    }
    button(1, true);
    button(1, false);
    XSync(display, False);
    readEvents();
    ASSERT_TRUE(awaitShowing(model, twist)) << "after one event of each kind";
    const long residentBefore = residentKiB(program.pid);
    events = 0;
    presses = 0;
    turnKeyPresses = 0;
    frames = 0;

    // Turn-key holds spread evenly through the storm, two of INSERT to one of DELETE.
    const int holdEvery = stormEvents / (turnKeyHolds + 1);
    while (events < stormEvents) {
        if (holds < turnKeyHolds && events >= (holds + 1) * holdEvery) {
            ASSERT_TRUE(holdTurnKey(holds % 3 == 2 ? XK_Delete : XK_Insert))
                << "the held key did not repeat " << repeatsPerHold << " times";
            continue;
        }
        switch (dice.gesture(keyShare)) {
        case Gesture::tap:
            tap();
            break;
        case Gesture::drag:
            drag();
            break;
        case Gesture::key:
            otherKey();
            break;
        case Gesture::wander:
            wander();
            break;
        }
    }
    XSync(display, False);
    readEvents();
    const int stormFrames = frames;

    // Everything is sent: the program must catch up at once.
    const auto sentAll = Clock::now();
    EXPECT_TRUE(awaitShowing(model, twist, answerLimit))
        << "after " << events << " events and " << presses << " presses at twist " << twist;
    const double answeredMs =
        std::chrono::duration<double, std::milli>(Clock::now() - sentAll).count();
    XSync(display, False);
    readEvents();

    // Xlib queues what arrives while a frame is swapped and keeps the queue's nodes
    // for reuse: a burst leaves its high-water mark behind, a few hundred KiB here.
    const long residentAfter = residentKiB(program.pid);
    if (plainAllocator) {
        EXPECT_LE(std::abs(residentAfter - residentBefore), memorySlackKiB)
            << "resident memory went from " << residentBefore << " to " << residentAfter << " KiB";
    }

    EXPECT_GE(frames, 1) << "no damage report: the frame count below would mean nothing";
    std::printf(
        "storm: %d events sent, %d presses, %d turn-key presses (repeats included, "
        "twist %+.0f); %d frames drawn during the storm, %d in all; answered %.0f ms "
        "after the last event; resident %ld KiB at the first frame, %ld KiB before the storm, "
        "%ld KiB after\n",
        events, presses, turnKeyPresses, twist, stormFrames, frames, answeredMs,
        residentAtFirstFrame, residentBefore, residentAfter);
    RecordProperty("events", events);
    RecordProperty("presses", presses);
    RecordProperty("turnKeyPresses", turnKeyPresses);
    RecordProperty("frames", frames);
    RecordProperty("residentAtFirstFrameKiB", std::to_string(residentAtFirstFrame));
    RecordProperty("residentBeforeKiB", std::to_string(residentBefore));
    RecordProperty("residentAfterKiB", std::to_string(residentAfter));

    pressEscape();
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 0);
}

}  // namespace
