// Playing the real program: presses of every button flip the model's cross, the turn
// keys turn the picture, other input changes nothing, and the solution solves the
// puzzle. Each step is checked against the test's own model of the table, read back
// from the window.
#include <X11/keysym.h>

#include "tests/e2e/knotwerry_run.h"
#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/picture_model.h"
#include "tools/projection.h"
#include "tools/table_files.h"

namespace {

using Play = ModelledRun;

class Buttons : public Play, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(Buttons, PressFlipsTheModelsCrossAndReleaseDoesNothing)
{
    pressFlipsAndReleaseDoesNothing(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Cases, Buttons,
                         ::testing::Values(ButtonCase{"Left", 1, {401, 37}},
                                           ButtonCase{"Middle", 2, {8, 790}},
                                           ButtonCase{"Right", 3, {600, 300}},
                                           ButtonCase{"WheelUp", 4, {200, 650}},
                                           ButtonCase{"WheelDownInTheRightMargin", 5, {790, 100}}),
                         caseName<ButtonCase>);

// Holding a button and dragging flips once, where it went down.
TEST_F(Play, HoldingAndDraggingFlipsOnce)
{
    const Press down = {300, 300};
    pressInModel(down);
    pressButtonAt(server.display, window, down.x, down.y, 1);
    const Press path[] = {{320, 300}, {500, 500}, {100, 700}, {799, 799}, {900, 100}, {-50, 40}};
    for (Press p : path)
        movePointerTo(server.display, window, p.x, p.y);
    releaseButton(server.display, 1);
    tapKeyOver(server.display, window, XK_Insert);
    EXPECT_TRUE(awaitShowing(model, 1.0));
}

// Keys other than the turn keys and ESCAPE change nothing: after them, one INSERT shows
// the table turned by exactly one degree, and DELETE brings back the first frame.
TEST_F(Play, OtherKeysChangeNothing)
{
    const KeySym others[] = {XK_a,      XK_Z,         XK_0,    XK_9,       XK_space,
                             XK_Return, XK_BackSpace, XK_Tab,  XK_Left,    XK_Right,
                             XK_Up,     XK_Down,      XK_Home, XK_End,     XK_Page_Up,
                             XK_F1,     XK_F5,        XK_F12,  XK_Shift_L, XK_Control_L};
    for (KeySym key : others)
        tapKeyOver(server.display, window, key);
    tapKeyOver(server.display, window, XK_Insert);
    EXPECT_TRUE(awaitShowing(model, 1.0));
    tapKeyOver(server.display, window, XK_Delete);
    EXPECT_TRUE(backAtFirstFrame());
}

// DELETE turns one degree counter-clockwise and INSERT one degree clockwise; either
// undoes the other exactly.
TEST_F(Play, InsertAndDeleteTurnByOneDegreeAndCancelExactly)
{
    tapKeyOver(server.display, window, XK_Delete);
    EXPECT_TRUE(awaitShowing(model, -1.0)) << "after DELETE";
    tapKeyOver(server.display, window, XK_Insert);
    EXPECT_TRUE(backAtFirstFrame()) << "after DELETE, INSERT";
    tapKeyOver(server.display, window, XK_Insert);
    EXPECT_TRUE(awaitShowing(model, 1.0)) << "after INSERT";
    tapKeyOver(server.display, window, XK_Delete);
    EXPECT_TRUE(backAtFirstFrame()) << "after INSERT, DELETE";
}

// A held INSERT turns a whole degree for every repeat the keyboard sends. It is held
// until the picture has left both the first frame and the one-degree turn, so the
// keyboard has repeated; once it is let go and a press marks that every key event has
// been handled, the picture must rest at a whole number of degrees, two or more.
TEST_F(Play, HeldInsertTurnsADegreeForEveryRepeat)
{
    constexpr int mostDegrees = 180;
    Image seen;
    movePointerTo(server.display, window, windowSize / 2, windowSize / 2);
    pressKey(server.display, XK_Insert);
    bool repeated = awaitCondition(
        [&] {
            return grabWindow(server.display, window, seen) &&
                   !compareWithProjection(seen, model.data(), gridPoints, 0.0).none() &&
                   !compareWithProjection(seen, model.data(), gridPoints, 1.0).none();
        },
        windowLimit);
    releaseKey(server.display, XK_Insert);
    ASSERT_TRUE(repeated) << "holding INSERT did not turn past one degree";

    const Press marker = {401, 37};
    pressInModel(marker);
    pressButtonAt(server.display, window, marker.x, marker.y, 1);
    releaseButton(server.display, 1);
    int resting = 0;
    awaitCondition(
        [&] {
            if (!grabWindow(server.display, window, seen))
                return false;
            for (int degrees = 2; degrees <= mostDegrees && resting == 0; ++degrees)
                if (compareWithProjection(seen, model.data(), gridPoints, degrees).none())
                    resting = degrees;
            return resting != 0;
        },
        windowLimit);
    EXPECT_GE(resting, 2) << "no whole turn of two degrees or more after letting go";
}

TEST_F(Play, NinetyInsertsTurnAQuarterClockwise)
{
    for (int i = 0; i < 90; ++i)
        tapKeyOver(server.display, window, XK_Insert);
    EXPECT_TRUE(awaitShowing(model, 90.0));
}

// The puzzle as a player finishes it: the solution's presses, made with the left button
// where the fixture says, leave the knot on screen.
TEST_F(Play, TheSolutionShowsTheKnot)
{
    static float knot[knotEntries][3];
    designKnot(knot);
    std::vector<float> solved(&knot[0][0], &knot[0][0] + knotEntries * 3);
    ASSERT_TRUE(wouldShow(solved, firstFrame)) << "the puzzle starts solved";

    std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    for (Press p : solution) {
        pressButtonAt(server.display, window, p.x, p.y, 1);
        releaseButton(server.display, 1);
    }
    EXPECT_TRUE(awaitShowing(solved, 0.0));
}

// A press of the solution made at a wrong height must show on screen. With the solution
// played, the first press is taken back and made again at the height whose near miss
// the model's picture finds hardest to see; the window must then differ from the knot
// it showed in at least 12 pixels.
TEST_F(Play, TheHardestNearMissOfAPressShowsOnScreen)
{
    constexpr int fewestShowing = 12;
    std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    for (Press p : solution) {
        pressInModel(p);
        pressButtonAt(server.display, window, p.x, p.y, 1);
        releaseButton(server.display, 1);
    }
    ASSERT_TRUE(awaitShowing(model, 0.0)) << "the solution";
    Image knot;
    ASSERT_TRUE(grabWindow(server.display, window, knot));

    const Press right = solution[0];
    const std::vector<float> solved = model;
    const auto* table = reinterpret_cast<const float(*)[3]>(solved.data());
    const std::vector<int> cover = coverPicture(table, gridPoints);
    Press hardest{};
    int fewest = windowSize * windowSize;
    for (int y = 0; y < windowSize; y += 4) {
        if (y / 4 == right.y / 4)
            continue;
        model = solved;
        pressInModel(right);
        pressInModel({right.x, y});
        const int changed = differingPixels(
            cover, coverPicture(reinterpret_cast<const float(*)[3]>(model.data()), gridPoints));
        if (changed < fewest)
            fewest = changed, hardest = {right.x, y};
    }
    model = solved;
    for (Press p : {right, hardest}) {
        pressInModel(p);
        pressButtonAt(server.display, window, p.x, p.y, 1);
        releaseButton(server.display, 1);
    }
    ASSERT_TRUE(awaitShowing(model, 0.0))
        << "the near miss at (" << hardest.x << ", " << hardest.y << ")";
    Image seen;
    ASSERT_TRUE(grabWindow(server.display, window, seen));
    int differing = 0;
    for (std::size_t i = 0; i + 2 < seen.rgb.size(); i += 3)
        differing += seen.rgb[i + 1] != knot.rgb[i + 1];  // white and red differ in green
    EXPECT_GE(differing, fewestShowing)
        << "at (" << hardest.x << ", " << hardest.y << "); the model's picture changes " << fewest;
}

}  // namespace
