// The built-in picture: the committed asset, its embedding, its ranges and grid order,
// and the generator that made it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "grid/point_grid.h"
#include "tests/fixtures.h"
#include "tools/knot_design.h"

namespace {

constexpr int entries = 38696;
constexpr int side = 196;

// The committed asset, as the program is built from it.
std::vector<float> committedTable()
{
    return readTable(KNOT_TABLE_PATH);
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

// A press picks its row by the pointer's x: rows must be left-to-right slices of the
// picture, and each row runs top to bottom.
TEST(KnotTable, RowsAreSlicesLeftToRightEachTopToBottom)
{
    std::vector<float> table = committedTable();
    ASSERT_EQ(table.size(), std::size_t{entries} * 3);
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

// A flip mirrors points through the centre; a picture that looked the same turned
// half way round would hide every move.
TEST(KnotTable, DiffersFromItsHalfTurn)
{
    std::vector<float> table = committedTable();
    ASSERT_EQ(table.size(), std::size_t{entries} * 3);
    constexpr int cells = 200;  // 4-pixel cells over the 800-pixel window
    std::vector<char> shown(cells * cells), turned(cells * cells);
    for (int k = 0; k < side * side; ++k) {
        int cx = int((table[3 * k] + 0.5) * cells), cz = int((table[3 * k + 2] + 0.5) * cells);
        shown[cz * cells + cx] = 1;
        turned[(cells - 1 - cz) * cells + (cells - 1 - cx)] = 1;
    }
    int covered = 0, uncovered = 0;
    for (int i = 0; i < cells * cells; ++i) {
        covered += shown[i];
        uncovered += turned[i] && !shown[i];
    }
    EXPECT_GT(uncovered, covered / 4) << uncovered << " of " << covered << " cells move";
}

// The generator is deterministic double arithmetic with one rounding to float at the
// end and no fused multiply-add, so with the same maths library it gives the same
// bits; the comparison is exact.
TEST(KnotTable, GeneratorReproducesTheAsset)
{
    static float generated[knotEntries][3];
    designKnot(generated);
    std::vector<float> committed = committedTable();
    ASSERT_EQ(committed.size(), std::size_t{knotEntries} * 3);
    int differing = 0;
    for (int i = 0; i < knotEntries * 3; ++i)
        differing += std::memcmp(&generated[i / 3][i % 3], &committed[i], 4) != 0;
    EXPECT_EQ(differing, 0) << "floats differ from the committed table";
}

}  // namespace
