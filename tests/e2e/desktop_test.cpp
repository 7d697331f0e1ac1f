// What a desktop matches the running window by: its WM_CLASS, read from the real window,
// and the launcher's name and class for it.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <fstream>

namespace {

// The value of `key` in the launcher's [Desktop Entry] group; empty when it has none.
std::string launcherValue(const std::string& key)
{
    std::ifstream launcher(LAUNCHER_PATH);
    std::string line, group;
    while (std::getline(launcher, line)) {
        if (!line.empty() && line[0] == '[')
            group = line;
        else if (group == "[Desktop Entry]" && line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    }
    return "";
}

using TheDesktop = KnotwerryRun;

// ICCCM: instance name, then class name, each ended by a NUL.
TEST_F(TheDesktop, SeesTheWindowClassKnotwerry)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(windowString(server.display, window, "WM_CLASS"),
              std::string("knotwerry\0Knotwerry\0", 20));
}

// A dock shows the running window under the launcher whose StartupWMClass is the
// window's class, and the launcher's name is the window's title.
TEST_F(TheDesktop, MatchesTheWindowToItsLauncher)
{
    ASSERT_TRUE(start());
    std::string windowClass = windowString(server.display, window, "WM_CLASS");
    std::string className = windowClass.substr(windowClass.find('\0') + 1);
    className = className.substr(0, className.find('\0'));
    EXPECT_EQ(launcherValue("StartupWMClass"), className);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(server.display, window, &name));
    EXPECT_EQ(launcherValue("Name"), name);
    XFree(name);
}

}  // namespace
