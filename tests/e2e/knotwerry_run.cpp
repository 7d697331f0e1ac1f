// The real knotwerry binary on a private Xvfb of its own, one per test.
#include "tests/e2e/knotwerry_run.h"

#include <X11/keysym.h>

void KnotwerryRun::SetUp()
{
    ASSERT_TRUE(startXServer(server)) << "cannot start Xvfb";
}

void KnotwerryRun::TearDown()
{
    endChild(program);
    stopXServer(server);
    // In a sanitized build a report ends the program; say so rather than only that
    // the picture never came.
    for (const char* report : {"Sanitizer", "runtime error:"})
        EXPECT_EQ(program.errText.find(report), std::string::npos) << program.errText;
}

::testing::AssertionResult KnotwerryRun::start(const std::vector<std::string>& args,
                                               const std::vector<std::string>& env)
{
    std::vector<std::string> argv = {KNOTWERRY_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!launchOnSoftwareGl(program, server, argv, env))
        return ::testing::AssertionFailure() << "cannot start " << KNOTWERRY_PATH;
    window = awaitWindow(server.display, windowTitle, windowLimit);
    if (window == None)
        return ::testing::AssertionFailure() << "no window titled " << windowTitle;
    return awaitFirstFrame();
}

void KnotwerryRun::pressEscape()
{
    tapKey(XK_Escape);
}

bool KnotwerryRun::grabClient(Image& image)
{
    return grabWindow(server.display, window, image);
}

void KnotwerryRun::pressAt(int x, int y, unsigned button)
{
    pressButtonAt(server.display, window, x, y, button);
}

void KnotwerryRun::tapKey(unsigned long keysym)
{
    tapKeyOver(server.display, window, keysym);
}
