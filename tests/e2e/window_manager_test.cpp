// Under a real window manager (metacity): only moving is offered, the size holds, and
// ESCAPE still ends the program.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <algorithm>

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

class UnderMetacity : public KnotwerryRun {
  protected:
    void SetUp() override
    {
        KnotwerryRun::SetUp();
        // A session bus of its own; no accessibility bus, which nothing here uses.
        ASSERT_TRUE(
            launch(manager, server,
                   {"/usr/bin/dbus-run-session", "--", "metacity", "--replace", "--sm-disable"},
                   {"NO_AT_BRIDGE=1"}));
        ASSERT_TRUE(awaitCondition([&] { return managerRuns(server.display); }, windowLimit))
            << "metacity did not take the screen: " << manager.errText;
    }
    void TearDown() override
    {
        endChild(manager);
        KnotwerryRun::TearDown();
    }

    Child manager;
};

TEST_F(UnderMetacity, OffersOnlyMovingAndKeepsTheSize)
{
    ASSERT_TRUE(start());
    const std::vector<std::string> onlyMoving = {"_NET_WM_ACTION_ABOVE", "_NET_WM_ACTION_BELOW",
                                                 "_NET_WM_ACTION_CHANGE_DESKTOP",
                                                 "_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_SHADE"};
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

    pressEscape();
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 0);
}

}  // namespace
