// The real knotwerry binary on a private Xvfb of its own, one per test.
#include "tests/e2e/knotwerry_run.h"

#include <X11/keysym.h>

#include "tests/e2e/projection.h"
#include "tests/fixtures.h"
#include "tools/knot_design.h"

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

bool KnotwerryRun::start(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    std::vector<std::string> argv = {KNOTWERRY_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> settings = {"LIBGL_ALWAYS_SOFTWARE=1"};
    settings.insert(settings.end(), env.begin(), env.end());
    if (!launch(program, server, argv, settings))
        return false;
    window = awaitWindow(server.display, windowTitle, windowLimit);
    return window != None && awaitPicture(server.display, window, firstFrame, windowLimit, hasRed);
}

void KnotwerryRun::pressEscape()
{
    tapKeyOver(server.display, window, XK_Escape);
}

::testing::AssertionResult KnotwerryRun::awaitShowing(const std::vector<float>& table, double twist,
                                                      Seconds limit)
{
    Image seen;
    Mismatch last;
    bool shown = awaitCondition(
        [&] {
            if (!grabWindow(server.display, window, seen))
                return false;
            last = compareWithProjection(seen, table.data(), gridPoints, twist);
            return last.none();
        },
        limit);
    if (shown)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the window never showed the table at twist " << twist << ": " << last.darkCentres
           << " dark centres, " << last.strayPixels << " stray pixels; " << last.firstFaults;
}

void ModelledRun::SetUp()
{
    KnotwerryRun::SetUp();
    if (HasFatalFailure())
        return;
    model = readTable(KNOT_TABLE_PATH);
    ASSERT_EQ(model.size(), std::size_t{knotEntries} * 3);
    ASSERT_TRUE(start());
}

void ModelledRun::pressInModel(Press press)
{
    playPresses(reinterpret_cast<float(*)[3]>(model.data()), {press}, gridSide);
}
