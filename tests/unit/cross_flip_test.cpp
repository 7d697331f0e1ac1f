// The cross flip: which entries a press negates, checked float by float against the
// model over the whole table, and what it must never touch.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "grid/point_grid.h"
#include "tools/cross_model.h"
#include "tools/table_files.h"

namespace {

constexpr int side = 196;
constexpr int entries = 38696;
constexpr int grid = side * side;
constexpr std::uint32_t signBit = 0x80000000u;

std::uint32_t bitsOf(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// A copy of the shipped table for each case, so that no case sees another's presses.
float table[entries][3];
const std::vector<float>& shipped()
{
    static const std::vector<float> values = readTable(KNOT_TABLE_PATH);
    return values;
}
void bindFreshTable()
{
    ASSERT_EQ(shipped().size(), std::size_t{entries} * 3);
    std::memcpy(table, shipped().data(), sizeof table);
    ASSERT_EQ(usePointTable(&table[0][0], sizeof table), 1);
}

// The entries whose three floats differ from the shipped table in the sign bit, and
// the number of floats that differ in any other way.
struct Change {
    std::vector<int> negated;
    int otherwise = 0;
};
Change changeFromShipped()
{
    Change change;
    for (int k = 0; k < entries; ++k) {
        int signOnly = 0;
        for (int a = 0; a < 3; ++a) {
            std::uint32_t now = bitsOf(table[k][a]), was = bitsOf(shipped()[3 * k + a]);
            if (now == (was ^ signBit))
                ++signOnly;
            else if (now != was)
                ++change.otherwise;
        }
        if (signOnly == 3)
            change.negated.push_back(k);
        else if (signOnly != 0)
            change.otherwise += signOnly;  // part of an entry negated
    }
    return change;
}

struct FlipCase {
    const char* name;
    Press press;
    int negated;                 // entries negated in all
    int negatedOnScreen;         // of them, entries of the drawn grid
    std::vector<int> flipped;    // entries that must be negated
    std::vector<int> unchanged;  // entries of the cross that must come back unchanged
};

void PrintTo(const FlipCase& c, std::ostream* out)
{
    *out << c.name << " (" << c.press.x << ", " << c.press.y << ")";
}

class Flip : public ::testing::TestWithParam<FlipCase> {};

TEST_P(Flip, NegatesExactlyTheModelsEntriesAndUndoesItself)
{
    const FlipCase& c = GetParam();
    bindFreshTable();
    flipCross(c.press.x, c.press.y);

    Change change = changeFromShipped();
    EXPECT_EQ(change.otherwise, 0) << "floats changed other than by their sign";
    EXPECT_EQ(change.negated, crossFlips(c.press, side));
    EXPECT_EQ(int(change.negated.size()), c.negated);
    EXPECT_EQ(
        std::count_if(change.negated.begin(), change.negated.end(), [](int k) { return k < grid; }),
        c.negatedOnScreen);
    auto negated = [&](int k) {
        return std::binary_search(change.negated.begin(), change.negated.end(), k);
    };
    for (int k : c.flipped)
        EXPECT_TRUE(negated(k)) << "entry " << k << " should be negated";
    for (int k : c.unchanged)
        EXPECT_FALSE(negated(k)) << "entry " << k << " should be unchanged";

    flipCross(c.press.x, c.press.y);
    EXPECT_EQ(std::memcmp(table, shipped().data(), sizeof table), 0)
        << "the same press twice should restore every float bit for bit";
}

constexpr int at(int row, int column)
{
    return row * side + column;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Flip,
    ::testing::Values(
        // Row 0 and column 0 share entry 0; y picks it again, so the whole cross turns.
        FlipCase{"Origin", {0, 0}, 391, 391, {at(0, 0), at(0, 195), at(195, 0)}, {}},
        // r = 2, c = 0: the centre (2, 2) and the chosen (2, 0) come back unchanged.
        FlipCase{
            "RowTwo", {8, 0}, 389, 389, {at(2, 1), at(0, 2), at(195, 2)}, {at(2, 2), at(2, 0)}},
        // The overview's press: r = 100, c = 9; and a press in the same cell.
        FlipCase{"Road", {401, 37}, 389, 389, {at(100, 0), at(5, 100)}, {at(100, 100), at(100, 9)}},
        FlipCase{"SameCell", {403, 39}, 389, 389, {at(100, 0)}, {at(100, 100), at(100, 9)}},
        FlipCase{"Diagonal", {783, 783}, 391, 391, {at(195, 195), at(0, 195)}, {}},
        // The bottom margin: c = N reaches the first entry of the next row.
        FlipCase{"BottomMargin", {8, 790}, 391, 391, {at(3, 0), at(2, 0)}, {at(2, 2)}},
        // ... which for row 0 is in column 0 already, so it comes back.
        FlipCase{"BottomMarginRowZero", {0, 790}, 389, 389, {at(2, 0)}, {at(0, 0), at(1, 0)}},
        // ... and for the last row is the first spare entry.
        FlipCase{"BottomMarginLastRow", {783, 799}, 391, 390, {grid}, {at(195, 195)}},
        // The right margin: only column 0 of rows 1 .. 195 changes on screen; the rest
        // are spare entries. Entry N^2 is touched by both passes, so only y decides it:
        // y = 0 negates it, and a y inside the grid restores a spare the row pass negated.
        FlipCase{"RightMargin",
                 {799, 0},
                 391,
                 195,
                 {at(1, 0), at(195, 0), grid, grid + 195},
                 {at(0, 0), at(0, 1)}},
        FlipCase{
            "RightMarginMiddle", {790, 400}, 389, 195, {at(1, 0), grid + 99}, {grid, grid + 100}},
        // The corner: the farthest entry any press can form, N^2 + N.
        FlipCase{"Corner", {799, 799}, 391, 195, {grid + side}, {grid}},
        FlipCase{"FarBeyond", {INT_MAX, INT_MAX}, 391, 195, {grid + side}, {grid}},
        // Left of or above the window: nothing.
        FlipCase{"LeftOfWindow", {-1, 0}, 0, 0, {}, {at(0, 0)}},
        FlipCase{"AboveWindow", {100, -1}, 0, 0, {}, {at(25, 0)}},
        FlipCase{"FarOutside", {INT_MIN, INT_MIN}, 0, 0, {}, {}},
        FlipCase{"WithinOneCell", {-3, -3}, 0, 0, {}, {}}),
    [](const ::testing::TestParamInfo<FlipCase>& row) { return std::string(row.param.name); });

// The smallest grid that a flip may use, a 2 x 2 grid with room for N^2 + N + 1 = 7
// entries, with guard entries behind it that no press may reach.
TEST(FlipBounds, NoPressWritesPastTheEntriesItMayReach)
{
    constexpr int reach = 7, guards = 5;
    float small[reach + guards][3];
    for (int k = 0; k < reach + guards; ++k)
        for (int a = 0; a < 3; ++a)
            small[k][a] = float(k * 3 + a + 1);
    ASSERT_EQ(usePointTable(&small[0][0], reach * sizeof small[0]), 1);
    ASSERT_EQ(gridSide, 2);
    const int coordinates[] = {0, 3, 4, 7, 8, 11, 12, 799, 800, 1 << 20, INT_MAX};
    for (int x : coordinates)
        for (int y : coordinates)
            flipCross(x, y);
    for (int k = reach; k < reach + guards; ++k)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(small[k][a], float(k * 3 + a + 1)) << "guard entry " << k;
    // Every press made twice: the table comes back.
    for (int x : coordinates)
        for (int y : coordinates)
            flipCross(x, y);
    for (int k = 0; k < reach; ++k)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(bitsOf(small[k][a]), bitsOf(float(k * 3 + a + 1))) << "entry " << k;
}

TEST(FlipBounds, ZeroTurnsToNegativeZeroAndBack)
{
    float zeros[7][3] = {};
    ASSERT_EQ(usePointTable(&zeros[0][0], sizeof zeros), 1);
    flipCross(0, 0);  // the whole cross of entry 0: entries 0, 1 and 2
    for (int k = 0; k < 7; ++k)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(bitsOf(zeros[k][a]), k <= 2 ? signBit : 0u) << "entry " << k;
    flipCross(0, 0);
    for (int k = 0; k < 7; ++k)
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(bitsOf(zeros[k][a]), 0u) << "entry " << k;
}

}  // namespace
