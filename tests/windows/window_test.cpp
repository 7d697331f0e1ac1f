// knotwerry.exe under Wine: the window as Windows sees it, the first frame, presses
// and the turn keys against the model, and the two ways the program ends.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/windows/wine_run.h"

#include <X11/keysym.h>

#include <sstream>

#include "tools/projection.h"

namespace {

constexpr unsigned long sysMenu = 0x00080000, thickFrame = 0x00040000, caption = 0x00C00000;
// What freeglut gives a top-level window: WS_OVERLAPPEDWINDOW, WS_CLIPSIBLINGS,
// WS_CLIPCHILDREN and, once shown, WS_VISIBLE.
constexpr unsigned long glutStyle = 0x00CF0000 | 0x04000000 | 0x02000000 | 0x10000000;

std::vector<long> numbers(const std::string& text)
{
    std::istringstream fields(text);
    std::vector<long> values;
    long v;
    while (fields >> v)
        values.push_back(v);
    return values;
}

using TheWindow = ModelledWineRun;

// Only the system menu and the sizing border are gone; every other bit of GLUT's
// style is still set, the caption among them.
TEST_F(TheWindow, HasGlutsClassAndStyleWithoutSystemMenuOrSizingBorder)
{
    EXPECT_EQ(window["class"], "FREEGLUT");
    const unsigned long style = std::stoul(window["style"], nullptr, 16);
    EXPECT_EQ(style & sysMenu, 0u) << window["style"];
    EXPECT_EQ(style & thickFrame, 0u) << window["style"];
    EXPECT_EQ(style & caption, caption) << window["style"];
    EXPECT_EQ(style, glutStyle & ~(sysMenu | thickFrame)) << window["style"];
}

// The frame sits at (100, 200) and holds an 800 x 800 client area.
TEST_F(TheWindow, FrameAtItsPlaceHoldsTheClientArea)
{
    const std::vector<long> frame = numbers(window["frame"]);
    ASSERT_EQ(frame.size(), 4u) << window["frame"];
    EXPECT_EQ(frame[0], 100);
    EXPECT_EQ(frame[1], 200);
    EXPECT_EQ(window["client"], "800 800");
    EXPECT_GE(originX, frame[0]);
    EXPECT_GT(originY, frame[1]) << "no caption above the client area";
    EXPECT_LE(originX + windowSize, frame[2]);
    EXPECT_LE(originY + windowSize, frame[3]);
}

TEST_F(TheWindow, FirstFrameIsTheShippedTable)
{
    Mismatch first = compareWithProjection(firstFrame, model.data(), gridPoints, 0.0);
    EXPECT_TRUE(first.none()) << first.darkCentres << " dark centres, " << first.strayPixels
                              << " stray pixels; " << first.firstFaults;
}

class Buttons : public ModelledWineRun, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(Buttons, PressFlipsTheModelsCrossAndReleaseDoesNothing)
{
    pressFlipsAndReleaseDoesNothing(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, Buttons,
                         ::testing::Values(ButtonCase{"Left", 1, {401, 37}},
                                           ButtonCase{"Right", 3, {600, 300}},
                                           ButtonCase{"LeftInTheBottomMargin", 1, {8, 790}}),
                         caseName<ButtonCase>);

// DELETE turns one degree counter-clockwise and INSERT one degree clockwise; either
// undoes the other exactly.
TEST_F(TheWindow, InsertAndDeleteTurnByOneDegreeAndCancelExactly)
{
    tapKey(XK_Delete);
    EXPECT_TRUE(awaitShowing(model, -1.0)) << "after DELETE";
    tapKey(XK_Insert);
    EXPECT_TRUE(backAtFirstFrame()) << "after DELETE, INSERT";
    tapKey(XK_Insert);
    EXPECT_TRUE(awaitShowing(model, 1.0)) << "after INSERT";
    tapKey(XK_Delete);
    EXPECT_TRUE(backAtFirstFrame()) << "after INSERT, DELETE";
}

TEST_F(TheWindow, EscapeEndsItWithStatusZero)
{
    tapKey(XK_Escape);
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 0);
}

using Ending = WineRun;

// Through cmd, with freeglut given no display name to complain about: ESCAPE's status is
// 0 and the program says nothing on the way.
TEST_F(Ending, EscapeThroughCmdGivesStatusZeroSilently)
{
    ASSERT_TRUE(startThroughCmd(KNOTWERRY_EXE, {}));
    ASSERT_TRUE(awaitWindowAndFirstFrame());
    tapKey(XK_Escape);
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_EQ(windowsStatus(), 0);
    EXPECT_EQ(program.status, 0);
    EXPECT_EQ(program.outText, "");
    EXPECT_EQ(program.errText, "");
}

// Mesa told to offer OpenGL 1.0 only, which GLEW refuses: start-up fails with 575 as
// cmd sees it (63 for the shell, which keeps the low 8 bits), without a word and before
// any frame is drawn.
TEST_F(Ending, RefusedGlewEndsStartUpWith575SilentlyBeforeAnyFrame)
{
    ASSERT_TRUE(startThroughCmd(KNOTWERRY_EXE, {"MESA_GL_VERSION_OVERRIDE=1.0"}));
    int redFrames = 0;
    bool ended = awaitCondition(
        [&] {
            if (desktop == None)
                desktop = awaitWindow(server.display, desktopTitle, Seconds(0));
            Image seen;
            if (desktop != None && grabWindow(server.display, desktop, seen) && hasRed(seen))
                ++redFrames;
            return awaitExit(program, Seconds(0));
        },
        windowLimit);
    ASSERT_TRUE(ended) << "still running";
    EXPECT_EQ(windowsStatus(), 575);
    EXPECT_EQ(redFrames, 0) << "a frame was drawn";
    EXPECT_EQ(program.outText, "");
    EXPECT_EQ(program.errText, "");
}

// And started by the shell, which sees 575 mod 256.
TEST_F(Ending, RefusedGlewGivesTheShellStatus63)
{
    ASSERT_TRUE(launch(program, server, {WINE, KNOTWERRY_EXE},
                       {"LIBGL_ALWAYS_SOFTWARE=1", "MESA_GL_VERSION_OVERRIDE=1.0"}));
    ASSERT_TRUE(awaitExit(program, windowLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 63);
}

// Whatever the command line holds, GLUT never sees it: the window opens as always and
// shows the shipped table.
class Arguments : public WineRun, public ::testing::WithParamInterface<CommandLine> {};

TEST_P(Arguments, AreIgnored)
{
    ASSERT_TRUE(start(KNOTWERRY_EXE, {}, GetParam().args));
    const std::vector<long> frame = numbers(window["frame"]);
    ASSERT_EQ(frame.size(), 4u) << window["frame"];
    EXPECT_EQ(frame[0], 100);
    EXPECT_EQ(frame[1], 200);
    EXPECT_EQ(window["client"], "800 800");
    const std::vector<float> table = shippedTable();
    EXPECT_TRUE(compareWithProjection(firstFrame, table.data(), gridPoints, 0.0).none());
    tapKey(XK_Escape);
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_EQ(program.status, 0);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, Arguments,
                         ::testing::Values(CommandLine{"Geometry", {"-geometry", "320x240+0+0"}},
                                           CommandLine{"GlutOptions",
                                                       {"-iconic", "-gldebug", "-direct"}}),
                         caseName<CommandLine>);

}  // namespace
