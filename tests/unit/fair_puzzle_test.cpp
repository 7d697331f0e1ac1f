// A puzzle a player can read: a press flips the slice under the pointer, every press of
// the scramble shows, and so does every near miss of the solution, counted in pixels of
// the picture the program draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/picture_model.h"
#include "tools/table_files.h"

namespace {

constexpr int side = knotSide;
constexpr int drawn = side * side;
constexpr int fewestShowing = 12;  // pixels a change must make to be seen

float solved[knotEntries][3];   // the knot, as the generator designs it
float shipped[knotEntries][3];  // the committed puzzle

class FairPuzzle : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        designKnot(solved);
        std::vector<float> committed = readTable(KNOT_TABLE_PATH);
        ASSERT_EQ(committed.size(), std::size_t{knotEntries} * 3);
        std::memcpy(shipped, committed.data(), sizeof shipped);
    }
};

// The pixel columns the knot spans in the solved picture, as x / 4 of a press.
std::pair<int, int> knotColumns()
{
    int left = pictureSide, right = -1;
    for (int k = 0; k < drawn; ++k) {
        left = std::min(left, pointPixel(solved[k]).x);
        right = std::max(right, pointPixel(solved[k]).x);
    }
    return {left / 4, right / 4};
}

// Row r's points lie where a press at x = 4r ... 4r + 3 is made, so the press under the
// pointer flips the slice the player sees there; the rows a press beyond the knot's ends
// picks lie in the knot's nearest end column.
TEST_F(FairPuzzle, EveryRowLiesInTheColumnThatPicksIt)
{
    const auto [first, last] = knotColumns();
    ASSERT_LE(first, 16) << "the knot should reach the window's left part";
    ASSERT_GE(last, 183) << "the knot should reach the window's right part";
    for (int r = 0; r < side; ++r) {
        const int column = std::clamp(r, first, last);
        for (int c = 0; c < side; ++c) {
            const Pixel at = pointPixel(solved[r * side + c]);
            ASSERT_EQ(at.x / 4, column) << "row " << r << " point " << c << " at x " << at.x;
            Cell picked;
            ASSERT_TRUE(pressedCell({at.x, at.y}, side, picked));
            if (r == column) {
                ASSERT_EQ(picked.row, r) << "a press on row " << r << "'s point " << c;
            }
        }
    }
}

// A point's number in its slice tells how far along the slice's band it lies, which is
// how a player picks the height of a press: point c has about c / 196 of the band that
// the slice crosses, in the picture, above it.
TEST_F(FairPuzzle, APointsNumberTellsHowFarAlongItsSlicesBandItLies)
{
    constexpr double mostOff = 24, meanOff = 3;  // points
    const auto [first, last] = knotColumns();
    const std::vector<int> cover = coverPicture(solved, drawn);
    double sum = 0, worst = 0;
    int counted = 0;
    for (int r = first + 1; r < last; ++r) {
        std::vector<int> above(pictureSide + 1, 0);  // white pixels of the slice above y
        for (int y = 0; y < pictureSide; ++y) {
            const bool white =
                cover[y * pictureSide + 4 * r + 1] || cover[y * pictureSide + 4 * r + 2];
            above[y + 1] = above[y] + white;
        }
        for (int c = 0; c < side; ++c) {
            const int y = pointPixel(solved[r * side + c]).y;
            const double off = std::fabs(side * double(above[y]) / above[pictureSide] - (c + 0.5));
            EXPECT_LE(off, mostOff) << "row " << r << " point " << c;
            sum += off;
            worst = std::max(worst, off);
            ++counted;
        }
    }
    EXPECT_LE(sum / counted, meanOff);
    std::printf("points off their share of the band: %.1f on average, %.1f at most\n",
                sum / counted, worst);
}

// The pixels that change when the listed presses are made on `table`; `cover` is the
// table's picture. The presses are played on a copy that is put back entry by entry.
int pixelsChangedBy(const float (*table)[3], const std::vector<int>& cover,
                    const std::vector<Press>& presses)
{
    static float after[knotEntries][3];
    static const float(*copied)[3] = nullptr;
    if (copied != table) {
        std::memcpy(after, table, sizeof after);
        copied = table;
    }
    playPresses(after, presses, side);
    std::set<int> touched;
    for (Press p : presses)
        for (int k : crossFlips(p, side))
            touched.insert(k);
    std::vector<int> moved;
    for (int k : touched)
        if (std::memcmp(after[k], table[k], sizeof after[k]) != 0)
            moved.push_back(k);
    const int changed = changedPixels(cover, table, after, moved, drawn);
    for (int k : touched)
        std::memcpy(after[k], table[k], sizeof after[k]);
    return changed;
}

// The pixels that differ between two pictures inside pixel columns from .. from + 3.
int differingInColumn(const std::vector<int>& a, const std::vector<int>& b, int from)
{
    int differing = 0;
    for (int y = 0; y < pictureSide; ++y)
        for (int x = from; x < from + 4; ++x)
            differing += (a[y * pictureSide + x] == 0) != (b[y * pictureSide + x] == 0);
    return differing;
}

// The scramble is the solution undone; every one of its presses must show in the first
// frame, both where its slice was and where its mirrored copy is: taking the press back
// alone closes a gap in the slice's column and clears the copy from the mirrored one.
TEST_F(FairPuzzle, EveryScramblePressShowsInTheFirstFrame)
{
    const std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    const std::vector<int> first = coverPicture(shipped, drawn);
    static float undone[knotEntries][3];
    for (Press p : solution) {
        std::memcpy(undone, shipped, sizeof undone);
        playPresses(undone, {p}, side);
        const std::vector<int> after = coverPicture(undone, drawn);
        const int column = 4 * (p.x / 4), mirrored = pictureSide - 4 - column;
        EXPECT_GE(differingInColumn(first, after, column), fewestShowing)
            << "the gap of press (" << p.x << ", " << p.y << ")";
        EXPECT_GE(differingInColumn(first, after, mirrored), fewestShowing)
            << "the mirrored copy of press (" << p.x << ", " << p.y << ")";
    }
}

// Only rows under the knot are scrambled, each inside the grid and on its own row.
TEST_F(FairPuzzle, ScrambleFlipsOnlyRowsUnderTheKnot)
{
    const std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    const auto [first, last] = knotColumns();
    std::set<int> rows;
    for (Press p : solution) {
        Cell picked;
        ASSERT_TRUE(pressedCell(p, side, picked));
        EXPECT_GT(picked.row, first) << "x " << p.x << " is at or beyond the knot's left end";
        EXPECT_LT(picked.row, last) << "x " << p.x << " is at or beyond the knot's right end";
        EXPECT_LT(picked.cell, side) << "y " << p.y << " is in the bottom margin";
        EXPECT_TRUE(rows.insert(picked.row).second) << "two presses on row " << picked.row;
    }
}

// With the solution played but one of its presses made at another height (same x, any
// y from 0 to 799 that picks another point), the picture must differ from the knot.
TEST_F(FairPuzzle, EveryNearMissOfTheSolutionShows)
{
    const std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_FALSE(solution.empty());
    static float played[knotEntries][3];
    std::memcpy(played, shipped, sizeof played);
    playPresses(played, solution, side);
    ASSERT_EQ(std::memcmp(played, solved, sizeof played), 0) << "the solution does not solve";

    // Played with press p at (p.x, y) instead, the table is the knot with p undone and
    // (p.x, y) made; only the entries those two touch can differ, so the count is exact.
    const std::vector<int> cover = coverPicture(solved, drawn);
    int fewest = pictureSide * pictureSide, nearMisses = 0;
    Press worst{};
    for (Press p : solution) {
        Cell right;
        ASSERT_TRUE(pressedCell(p, side, right));
        std::map<int, int> byCell;  // heights in one cell press alike
        int hidden = 0, firstHidden = -1;
        for (int y = 0; y < pictureSide; ++y) {
            const Press miss{p.x, y};
            Cell picked;
            ASSERT_TRUE(pressedCell(miss, side, picked));
            if (picked.cell == right.cell)
                continue;
            auto known = byCell.find(picked.cell);
            const int changed = known != byCell.end()
                                    ? known->second
                                    : byCell[picked.cell] =
                                          pixelsChangedBy(solved, cover, {p, miss});
            ++nearMisses;
            if (changed < fewest)
                fewest = changed, worst = miss;
            if (changed < fewestShowing && hidden++ == 0)
                firstHidden = y;
        }
        EXPECT_EQ(hidden, 0) << "press (" << p.x << ", " << p.y << ") made at " << hidden
                             << " other heights changes fewer than " << fewestShowing
                             << " pixels, the first at y " << firstHidden;
    }
    EXPECT_EQ(nearMisses, int(solution.size()) * (pictureSide - 4));
    std::printf("%d near misses, the fewest pixels changed %d, at (%d, %d)\n", nearMisses, fewest,
                worst.x, worst.y);
}

// The count of changed pixels is that of the whole picture drawn again.
TEST_F(FairPuzzle, ChangedPixelsAreThoseOfTheWholePictureDrawnAgain)
{
    const std::vector<int> cover = coverPicture(solved, drawn);
    const std::vector<std::vector<Press>> cases = {
        {{401, 37}}, {{297, 298}, {297, 10}}, {{8, 790}}, {{783, 799}}, {{100, 100}, {690, 361}}};
    static float after[knotEntries][3];
    for (const std::vector<Press>& presses : cases) {
        std::memcpy(after, solved, sizeof after);
        playPresses(after, presses, side);
        const int whole = differingPixels(cover, coverPicture(after, drawn));
        EXPECT_EQ(pixelsChangedBy(solved, cover, presses), whole)
            << "from (" << presses[0].x << ", " << presses[0].y << ")";
        EXPECT_GT(whole, 0);
    }
}

}  // namespace
