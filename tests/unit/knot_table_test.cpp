// The built-in picture: the committed asset, its embedding, its ranges, the solved
// knot's grid order, the generator that made it, and the solution that undoes the
// scramble.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "grid/point_grid.h"
#include "tools/knot_design.h"
#include "tools/table_files.h"

namespace {

constexpr int entries = 38696;
constexpr int side = 196;

// The committed asset, as the program is built from it.
std::vector<float> committedTable()
{
    return readTable(KNOT_TABLE_PATH);
}

// The knot as the player should end with it, designed once for all the tests.
std::vector<float> solvedTable()
{
    static const std::vector<float> knot = [] {
        static float solved[knotEntries][3];
        designKnot(solved);
        return std::vector<float>(&solved[0][0], &solved[0][0] + knotEntries * 3);
    }();
    return knot;
}

// Which 4-pixel cells of the 800-pixel window hold a point's centre, the picture as
// drawn or turned half way round about the window centre (which is what a flip does
// to a point).
constexpr int cells = 200;
std::vector<char> coveredCells(const std::vector<float>& table, bool halfTurn)
{
    std::vector<char> covered(cells * cells);
    for (int k = 0; k < side * side; ++k) {
        int cx = int((table[3 * k] + 0.5) * cells), cz = int((table[3 * k + 2] + 0.5) * cells);
        if (halfTurn)
            cx = cells - 1 - cx, cz = cells - 1 - cz;
        covered[cz * cells + cx] = 1;
    }
    return covered;
}
// Cells covered in `b` and not in `a`, and cells covered in `a`.
std::pair<int, int> newCells(const std::vector<char>& a, const std::vector<char>& b)
{
    int fresh = 0, covered = 0;
    for (int i = 0; i < cells * cells; ++i) {
        covered += a[i];
        fresh += b[i] && !a[i];
    }
    return {fresh, covered};
}

TEST(KnotTable, CommittedAssetHasTheTableForm)
{
    std::ifstream file(KNOT_TABLE_PATH, std::ios::binary | std::ios::ate);
    ASSERT_TRUE(file) << KNOT_TABLE_PATH;
    EXPECT_EQ(file.tellg(), std::streamoff{entries * 12});
}

TEST(KnotTable, IsCompiledInBitForBit)
{
    std::vector<float> committed = committedTable();
    ASSERT_EQ(committed.size(), std::size_t{entries} * 3);
    ASSERT_EQ(initPointGrid(), 1);
    EXPECT_EQ(std::memcmp(pointTable, committed.data(), committed.size() * sizeof(float)), 0);
}

TEST(KnotTable, StaysInsideItsRangesAndUsesMostOfThem)
{
    std::vector<float> table = committedTable();
    ASSERT_EQ(table.size(), std::size_t{entries} * 3);
    const double bound[3] = {0.433, 0.089, 0.267};
    for (int axis = 0; axis < 3; ++axis) {
        double low = 0, high = 0;
        for (int k = 0; k < entries; ++k) {
            double v = table[3 * k + axis];
            ASSERT_LE(std::fabs(v), bound[axis]) << "entry " << k << " axis " << axis;
            low = std::min(low, v);
            high = std::max(high, v);
        }
        EXPECT_LT(low, -0.9 * bound[axis]) << "axis " << axis;
        EXPECT_GT(high, 0.9 * bound[axis]) << "axis " << axis;
    }
}

// A press picks its row by the pointer's x: in the solved knot, rows must be
// left-to-right slices of the picture, and each row runs top to bottom.
TEST(KnotTable, SolvedRowsAreSlicesLeftToRightEachTopToBottom)
{
    std::vector<float> table = solvedTable();
    auto x = [&](int r, int c) { return table[3 * (r * side + c)]; };
    auto z = [&](int r, int c) { return table[3 * (r * side + c) + 2]; };
    for (int r = 0; r < side; ++r) {
        float rowMax = x(r, 0);
        for (int c = 1; c < side; ++c) {
            ASSERT_LE(z(r, c - 1), z(r, c)) << "row " << r << " column " << c;
            rowMax = std::max(rowMax, x(r, c));
        }
        if (r + 1 < side) {
            for (int c = 0; c < side; ++c)
                ASSERT_LE(rowMax, x(r + 1, c)) << "row " << r + 1 << " column " << c;
        }
    }
}

// A flip mirrors points through the centre; a knot that looked the same turned half
// way round would hide every move.
TEST(KnotTable, SolvedKnotDiffersFromItsHalfTurn)
{
    std::vector<float> table = solvedTable();
    auto [fresh, covered] = newCells(coveredCells(table, false), coveredCells(table, true));
    EXPECT_GT(fresh, covered / 4) << fresh << " of " << covered << " cells move";
}

// The generator is deterministic double arithmetic with one rounding to float at the
// end and no fused multiply-add, so with the same maths library it gives the same
// bits; the comparison is exact.
TEST(KnotTable, GeneratorReproducesTheAsset)
{
    static float generated[knotEntries][3];
    designPuzzle(generated);
    std::vector<float> committed = committedTable();
    ASSERT_EQ(committed.size(), std::size_t{knotEntries} * 3);
    int differing = 0;
    for (int i = 0; i < knotEntries * 3; ++i)
        differing += std::memcmp(&generated[i / 3][i % 3], &committed[i], 4) != 0;
    EXPECT_EQ(differing, 0) << "floats differ from the committed table";
}

// The shipped puzzle is the knot with whole entries negated inside the grid only (every
// scrambling press was visible), and it plainly looks different from the knot.
TEST(KnotTable, ShipsScrambledInsideTheGrid)
{
    std::vector<float> shipped = committedTable(), solved = solvedTable();
    ASSERT_EQ(shipped.size(), solved.size());
    int negated = 0;
    for (int k = 0; k < knotEntries; ++k) {
        bool same = true, mirrored = true;
        for (int a = 0; a < 3; ++a) {
            same = same && std::memcmp(&shipped[3 * k + a], &solved[3 * k + a], 4) == 0;
            float minus = -solved[3 * k + a];
            mirrored = mirrored && std::memcmp(&shipped[3 * k + a], &minus, 4) == 0;
        }
        ASSERT_TRUE(same || mirrored) << "entry " << k << " is neither the knot's nor negated";
        if (!same) {
            ASSERT_LT(k, side * side) << "a spare entry was scrambled";
            ++negated;
        }
    }
    EXPECT_GT(negated, 8 * side) << "entries negated by the scramble";
    auto [fresh, covered] = newCells(coveredCells(solved, false), coveredCells(shipped, false));
    EXPECT_GT(fresh, covered / 10)
        << fresh << " cells lit that the knot leaves red, of " << covered;
}

// The solution, played with the program's own flip on the table the program is built
// from, gives back the knot exactly.
TEST(KnotTable, SolutionRestoresTheKnotBitForBit)
{
    std::vector<Press> solution = readPresses(SOLUTION_PATH);
    ASSERT_GE(solution.size(), 8u);
    ASSERT_LE(solution.size(), 16u);
    static float table[knotEntries][3];
    std::vector<float> shipped = committedTable();
    ASSERT_EQ(shipped.size(), std::size_t{knotEntries} * 3);
    std::memcpy(table, shipped.data(), sizeof table);
    ASSERT_EQ(usePointTable(&table[0][0], sizeof table), 1);
    for (Press press : solution)
        flipCross(press.x, press.y);
    std::vector<float> solved = solvedTable();
    EXPECT_EQ(std::memcmp(table, solved.data(), sizeof table), 0);
}

}  // namespace
