// Every press the window can deliver, and far beyond it: on a copy of the shipped table
// fenced by guard zones, each press must change exactly the entries the model names,
// by their signs alone, write nothing outside the table, and undo itself when repeated.
// In the window the model is asked once for each 4 x 4 square of pixels, at its top-left
// pixel, and every pixel of the square must press alike: no pixel's cell is worked out
// here, as the program works it out.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "grid/point_grid.h"
#include "tools/cross_model.h"
#include "tools/table_files.h"

namespace {

constexpr int side = 196;
constexpr int entries = 38696;
constexpr int floats = entries * 3;
constexpr int windowSize = 800;               // pixels a side; presses inside are 0 ... 799
constexpr int squarePx = 4;                   // pixels a side of a square that presses alike
constexpr int farOut = 10000;                 // pixels, the farthest coordinate tried outside
constexpr int guardFloats = 4096;             // a 16 KiB fence on each side of the table
constexpr std::uint32_t fence = 0x7fc0deadu;  // a quiet NaN no flip can produce
constexpr int shards = 8;                     // the window's columns, split to run in parallel
constexpr int squaresPerShard = windowSize / squarePx / shards;

// The table under test sits between two fences in one block, as the program's own
// table sits among its neighbours.
alignas(64) float arena[guardFloats + floats + guardFloats];
float* const table = arena + guardFloats;
float original[floats];
float expected[floats];  // the original with the model's current entries negated

void negateEntries(float* values, const std::vector<int>& list)
{
    for (int k : list)
        for (int a = 0; a < 3; ++a)
            values[3 * k + a] = -values[3 * k + a];
}

std::uint32_t fenceBlock[guardFloats];  // what each fence must still hold

bool fencesStand()
{
    return std::memcmp(arena, fenceBlock, sizeof fenceBlock) == 0 &&
           std::memcmp(table + floats, fenceBlock, sizeof fenceBlock) == 0;
}

// What went wrong with one press, in entries: how many differ from `want` and the first.
std::string describe(Press press, const char* when, const float* want)
{
    int differing = 0, first = -1;
    for (int k = 0; k < entries; ++k)
        if (std::memcmp(&table[3 * k], &want[3 * k], 12) != 0) {
            ++differing;
            if (first < 0)
                first = k;
        }
    std::ostringstream out;
    out << "press (" << press.x << ", " << press.y << ") " << when << ": " << differing
        << " entries differ from the model, the first " << first << "\n";
    return out.str();
}

class PressSpace : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::vector<float> shipped = readTable(KNOT_TABLE_PATH);
        ASSERT_EQ(shipped.size(), std::size_t{floats});
        for (std::uint32_t& word : fenceBlock)
            word = fence;
        std::memcpy(arena, fenceBlock, sizeof fenceBlock);
        std::memcpy(table + floats, fenceBlock, sizeof fenceBlock);
        std::memcpy(table, shipped.data(), sizeof original);
        std::memcpy(original, shipped.data(), sizeof original);
        std::memcpy(expected, shipped.data(), sizeof original);
        ASSERT_EQ(usePointTable(table, sizeof original), 1);
        ASSERT_EQ(gridSide, side);
    }

    // One press, twice: after the first the table must be exactly the original with the
    // `wanted` entries negated, after the second exactly the original, and the fences
    // must stand throughout.
    void play(Press press, const std::vector<int>& wanted)
    {
        negateEntries(expected, wanted);

        const long faultsBefore = faults;
        flipCross(press.x, press.y);
        if (std::memcmp(table, expected, sizeof expected) != 0)
            fault(describe(press, "once", expected));
        flipCross(press.x, press.y);
        if (std::memcmp(table, original, sizeof original) != 0)
            fault(describe(press, "twice", original));
        if (!fencesStand())
            fault("press (" + std::to_string(press.x) + ", " + std::to_string(press.y) +
                  ") wrote outside the table\n");
        if (faults != faultsBefore) {
            // A broken flip leaves the table wrong for every press after it.
            std::memcpy(table, original, sizeof original);
            std::memcpy(arena, fenceBlock, sizeof fenceBlock);
            std::memcpy(table + floats, fenceBlock, sizeof fenceBlock);
        }

        negateEntries(expected, wanted);
        ++presses;
        changedEntries += long(wanted.size());
    }

    void fault(const std::string& what)
    {
        if (++faults <= 5)
            firstFaults += what;
    }

    void expectClean()
    {
        EXPECT_EQ(faults, 0) << firstFaults;
        RecordProperty("presses", std::to_string(presses));
        RecordProperty("changedEntries", std::to_string(changedEntries));
    }

    long presses = 0, changedEntries = 0, faults = 0;
    std::string firstFaults;
};

class WindowColumns : public PressSpace, public ::testing::WithParamInterface<int> {};

// Every pixel of the window: this shard's 25 columns of squares, 100 pixels wide, over
// all 200 rows of squares, each square pressed at its 16 pixels.
TEST_P(WindowColumns, EveryPixelOfASquarePressesAsTheModelSaysOfTheSquare)
{
    const int first = GetParam() * squaresPerShard;
    for (int column = first; column < first + squaresPerShard; ++column)
        for (int row = 0; row < windowSize / squarePx; ++row) {
            const Press corner = {squarePx * column, squarePx * row};
            const std::vector<int> wanted = crossFlips(corner, side);
            for (int dx = 0; dx < squarePx; ++dx)
                for (int dy = 0; dy < squarePx; ++dy)
                    play({corner.x + dx, corner.y + dy}, wanted);
        }
    EXPECT_EQ(presses, long{windowSize / shards} * windowSize);
    expectClean();
}

INSTANTIATE_TEST_SUITE_P(Shards, WindowColumns, ::testing::Range(0, shards));

// Every coordinate from -10,000 to 10,000 on one axis, with the other at the window's
// edges, and the far corners, each as the model says. Right of or below the window a
// press acts as one on the window's last pixel that way: the model is asked for those.
TEST_F(PressSpace, PressesOutsideTheWindowChangeNothingOrActAsTheEdge)
{
    const int last = windowSize - 1;
    for (int edge : {0, last}) {
        const std::vector<int> lastColumn = crossFlips({last, edge}, side);
        const std::vector<int> lastRow = crossFlips({edge, last}, side);
        for (int v = -farOut; v <= farOut; ++v) {
            if (v < 0) {
                play({v, edge}, crossFlips({v, edge}, side));
                play({edge, v}, crossFlips({edge, v}, side));
            } else if (v > last) {
                play({v, edge}, lastColumn);
                play({edge, v}, lastRow);
            }
        }
    }
    const int corners[] = {-farOut, -801, -4, -1, windowSize, 804, farOut};
    for (int x : corners)
        for (int y : corners)
            play({x, y}, crossFlips({x, y}, side));
    expectClean();
}

}  // namespace
