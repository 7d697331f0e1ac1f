// Under real window managers: only moving is offered, the size holds, ESCAPE still ends
// the program, and the window opens once: it is not unmapped on its way to the first
// frame, except where a manager needs one re-map to read the frame hints (fluxbox).
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <X11/Xatom.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

// The names of the actions the manager allows on the window, sorted.
std::vector<std::string> allowedActions(Display* display, Window window)
{
    std::vector<std::string> names;
    for (long atom : windowProperty(display, window, "_NET_WM_ALLOWED_ACTIONS")) {
        char* name = XGetAtomName(display, Atom(atom));
        names.push_back(name ? name : "?");
        if (name)
            XFree(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool managerRuns(Display* display)
{
    return !windowProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK").empty();
}

// A manager, how to start it, and what it must make of the window.
struct Manager {
    const char* name;
    std::vector<std::string> argv;
    std::vector<std::string> env;
    int withdrawals;  // the window handed back to the manager before the first frame
    std::vector<std::string> allowed;
};

void PrintTo(const Manager& row, std::ostream* out)
{
    *out << row.name;
}

const std::vector<std::string> metacityAllows = {
    "_NET_WM_ACTION_ABOVE", "_NET_WM_ACTION_BELOW", "_NET_WM_ACTION_CHANGE_DESKTOP",
    "_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_SHADE"};

// A session bus of its own; no accessibility bus, which nothing here uses.
const Manager metacity = {
    "Metacity",
    {"/usr/bin/dbus-run-session", "--", "metacity", "--replace", "--sm-disable"},
    {"NO_AT_BRIDGE=1"},
    0,
    metacityAllows};

// fluxbox reads the Motif hints only when a window is mapped; without the one re-map
// it would also allow resizing, closing, minimising, maximising and full screen.
const Manager fluxbox = {"Fluxbox",
                         {"/usr/bin/fluxbox"},
                         {},
                         1,
                         {"_NET_WM_ACTION_CHANGE_DESKTOP", "_NET_WM_ACTION_MOVE",
                          "_NET_WM_ACTION_SHADE", "_NET_WM_ACTION_STICK"}};

// Starts the manager on the server, with a home of its own (fluxbox writes its settings
// there), and waits until it has taken the screen.
::testing::AssertionResult startManager(Child& child, const XServer& server, const Manager& row,
                                        std::string& home)
{
    char folder[] = "/tmp/knotwerry-wm-XXXXXX";
    if (!mkdtemp(folder))
        return ::testing::AssertionFailure() << "no home for the manager";
    home = folder;
    std::vector<std::string> env = row.env;
    env.push_back("HOME=" + home);
    if (!launch(child, server, row.argv, env))
        return ::testing::AssertionFailure() << "cannot start " << row.name;
    if (!awaitCondition([&] { return managerRuns(server.display); }, windowLimit))
        return ::testing::AssertionFailure()
               << row.name << " did not take the screen: " << child.errText;
    return ::testing::AssertionSuccess();
}

void endManager(Child& child, const std::string& home)
{
    endChild(child);
    if (!home.empty())
        std::filesystem::remove_all(home);
}

// The unmaps of top-level windows that a connection of the test's own sees: a window
// handed back to its manager announces it to the root (ICCCM's synthetic UnmapNotify),
// and every window made on the root is watched for its own unmaps from its creation on.
struct UnmapWatch {
    Display* display = nullptr;
    std::vector<XUnmapEvent> seen;
};

bool watchUnmaps(UnmapWatch& watch, const XServer& server)
{
    watch.display = XOpenDisplay(server.name.c_str());
    if (!watch.display)
        return false;
    XSelectInput(watch.display, DefaultRootWindow(watch.display), SubstructureNotifyMask);
    XSync(watch.display, False);
    return true;
}

// Reads what has come, and watches each new top-level window at once.
void readUnmaps(UnmapWatch& watch)
{
    while (XPending(watch.display)) {
        XEvent event;
        XNextEvent(watch.display, &event);
        if (event.type == CreateNotify &&
            event.xcreatewindow.parent == DefaultRootWindow(watch.display)) {
            XSelectInput(watch.display, event.xcreatewindow.window, StructureNotifyMask);
            XFlush(watch.display);
        } else if (event.type == UnmapNotify) {
            watch.seen.push_back(event.xunmap);
        }
    }
}

void endWatch(UnmapWatch& watch)
{
    if (watch.display)
        XCloseDisplay(watch.display);
    watch.display = nullptr;
}

// A run of the program beside a window manager, or a manager's announcement, with a
// connection of the test's own watching for unmaps.
class Managed : public KnotwerryRun {
  protected:
    void TearDown() override
    {
        endWatch(watch);
        endManager(manager, home);
        KnotwerryRun::TearDown();
    }

    // Starts the program with the watch reading all along, up to the first frame.
    ::testing::AssertionResult startWatched()
    {
        if (!watchUnmaps(watch, server))
            return ::testing::AssertionFailure() << "cannot watch for unmaps";
        if (!launch(program, server, {KNOTWERRY_PATH}, {"LIBGL_ALWAYS_SOFTWARE=1"}))
            return ::testing::AssertionFailure() << "cannot start the program";
        const bool drawn = awaitCondition(
            [&] {
                readUnmaps(watch);
                if (window == None)
                    window = awaitWindow(server.display, windowTitle, Seconds(0));
                return window != None && grabWindow(server.display, window, firstFrame) &&
                       hasRed(firstFrame);
            },
            windowLimit);
        if (!drawn)
            return ::testing::AssertionFailure() << "no first frame: " << program.errText;
        return ::testing::AssertionSuccess();
    }

    // The window's unmaps seen so far, and of them those that handed it back to the
    // manager.
    void countUnmaps(int& unmaps, int& withdrawals)
    {
        XSync(watch.display, False);
        readUnmaps(watch);
        unmaps = withdrawals = 0;
        for (const XUnmapEvent& unmap : watch.seen)
            if (unmap.window == window) {
                ++unmaps;
                if (unmap.send_event && unmap.event == DefaultRootWindow(watch.display))
                    ++withdrawals;
            }
    }

    void expectEndOnEscape()
    {
        pressEscape();
        ASSERT_TRUE(awaitExit(program, exitLimit));
        EXPECT_FALSE(program.signalled);
        EXPECT_EQ(program.status, 0);
    }

    Child manager;
    std::string home;
    UnmapWatch watch;
};

class UnderMetacity : public Managed {
  protected:
    void SetUp() override
    {
        KnotwerryRun::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(startManager(manager, server, metacity, home));
        }
    }
};

TEST_F(UnderMetacity, OffersOnlyMovingAndKeepsTheSize)
{
    ASSERT_TRUE(start());
    const std::vector<std::string> onlyMoving = metacityAllows;
    std::vector<std::string> actions;
    EXPECT_TRUE(awaitCondition(
        [&] { return (actions = allowedActions(server.display, window)) == onlyMoving; },
        windowLimit))
        << "allowed actions: " << ::testing::PrintToString(actions);

    // Ask for a new place and a new size at once: the manager grants the move, and once
    // the window has moved the resize has been dealt with too.
    Geometry before = windowGeometry(server.display, window);
    XMoveResizeWindow(server.display, window, 300, 150, 400, 300);
    XSync(server.display, False);
    Geometry after;
    EXPECT_TRUE(awaitCondition(
        [&] {
            after = windowGeometry(server.display, window);
            return after.x != before.x || after.y != before.y;
        },
        windowLimit))
        << "the window did not move";
    EXPECT_EQ(after.width, windowSize);
    EXPECT_EQ(after.height, windowSize);

    expectEndOnEscape();
}

class UnderAManager : public Managed, public ::testing::WithParamInterface<Manager> {
  protected:
    void SetUp() override
    {
        KnotwerryRun::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(startManager(manager, server, GetParam(), home));
        }
    }
};

TEST_P(UnderAManager, OpensOnceWithOnlyMovingOffered)
{
    const Manager& row = GetParam();
    ASSERT_TRUE(startWatched());
    int unmaps, withdrawals;
    countUnmaps(unmaps, withdrawals);
    EXPECT_EQ(withdrawals, row.withdrawals) << "times the window was handed back to the manager";
    if (row.withdrawals == 0) {
        EXPECT_EQ(unmaps, 0) << "times the window was unmapped before its first frame";
    }

    std::vector<std::string> actions;
    EXPECT_TRUE(awaitCondition(
        [&] { return (actions = allowedActions(server.display, window)) == row.allowed; },
        windowLimit))
        << "allowed actions: " << ::testing::PrintToString(actions);
    Geometry where = windowGeometry(server.display, window);
    EXPECT_EQ(where.width, windowSize);
    EXPECT_EQ(where.height, windowSize);

    expectEndOnEscape();
}

INSTANTIATE_TEST_SUITE_P(Managers, UnderAManager, ::testing::Values(metacity, fluxbox),
                         [](const ::testing::TestParamInfo<Manager>& row) {
                             return std::string(row.param.name);
                         });

// What the root says of a manager that takes no window: its check window, whether that
// window names itself as EWMH has a running manager's do, and the name it gives.
struct Announcement {
    const char* name;
    bool namesItself;
    const char* managerName;
};

void PrintTo(const Announcement& row, std::ostream* out)
{
    *out << row.name;
}

class WhereNoManagerTakesIt : public Managed, public ::testing::WithParamInterface<Announcement> {
  protected:
    void SetUp() override
    {
        KnotwerryRun::SetUp();
        if (HasFatalFailure())
            return;
        Display* display = server.display;
        Window root = DefaultRootWindow(display);
        Window check = XCreateSimpleWindow(display, root, -1, -1, 1, 1, 0, 0, 0);
        Atom supporting = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        XChangeProperty(display, root, supporting, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&check), 1);
        if (GetParam().namesItself)
            XChangeProperty(display, check, supporting, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&check), 1);
        const char* name = GetParam().managerName;
        XChangeProperty(display, check, XInternAtom(display, "_NET_WM_NAME", False),
                        XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(name), int(std::strlen(name)));
        XSync(display, False);
    }
};

// The program gives the window its frame hints and draws at once; it hands the window
// back only to a confirmed fluxbox that has taken it, and so never here.
TEST_P(WhereNoManagerTakesIt, OpensOnceAndDrawsWithItsHints)
{
    ASSERT_TRUE(startWatched());
    // Past the program's longest wait for a manager, half a second.
    ASSERT_FALSE(awaitExit(program, Seconds(1))) << "it ended: " << program.errText;
    int unmaps, withdrawals;
    countUnmaps(unmaps, withdrawals);
    EXPECT_EQ(unmaps, 0) << "times the window was unmapped";
    EXPECT_EQ(windowProperty(server.display, window, "_MOTIF_WM_HINTS"),
              (std::vector<long>{3, 4, 0xA, 0, 0}));

    expectEndOnEscape();
}

INSTANTIATE_TEST_SUITE_P(
    Announcements, WhereNoManagerTakesIt,
    ::testing::Values(Announcement{"FluxboxThatTakesNothing", true, "Fluxbox"},
                      Announcement{"StaleFluxboxCheck", false, "Fluxbox"},
                      Announcement{"OtherManagerThatTakesNothing", true, "Metacity"}),
    [](const ::testing::TestParamInfo<Announcement>& row) { return std::string(row.param.name); });

}  // namespace
