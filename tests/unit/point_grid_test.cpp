// Grid sizing: the integer square root of the entry count, and which grids are refused.
#include <gtest/gtest.h>

#include "grid/point_grid.h"

namespace {

constexpr std::size_t entryBytes = 12;

// Room for the largest table a case asks for.
float scratch[38809][3];

struct SizingCase {
    std::size_t entries;
    int side;
    int usable;
};

void PrintTo(const SizingCase& c, std::ostream* out)
{
    *out << c.entries << " entries";
}

class Sizing : public ::testing::TestWithParam<SizingCase> {};

TEST_P(Sizing, TakesTheFloorRootAndRefusesUnusableGrids)
{
    const SizingCase& c = GetParam();
    EXPECT_EQ(usePointTable(&scratch[0][0], c.entries * entryBytes), c.usable);
    EXPECT_EQ(pointTable, &scratch[0][0]);
    EXPECT_EQ(gridSide, c.side);
    EXPECT_EQ(drawnCount, c.side * c.side);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Sizing,
    ::testing::Values(SizingCase{38696, 196, 1},  // the built-in size
                      SizingCase{38808, 196, 1},  // 197^2 - 1: still 196
                      SizingCase{38809, 197, 0},  // 197^2: odd side
                      SizingCase{38613, 196, 1},  // 196^2 + 196 + 1: just reaches every flip
                      SizingCase{38612, 196, 0},  // one short of the flip's reach
                      SizingCase{38416, 196, 0},  // the bare grid, no spare entries
                      SizingCase{49, 7, 0}, SizingCase{50, 7, 0}, SizingCase{1, 1, 0},
                      SizingCase{2, 1, 0}, SizingCase{3, 1, 0},
                      SizingCase{4, 2, 0},  // 2x2 needs 7 entries
                      SizingCase{7, 2, 1}, SizingCase{8, 2, 1}, SizingCase{9, 3, 0},
                      SizingCase{1023, 31, 0},  // Newton from far above lands on the floor
                      SizingCase{1057, 32, 1}),
    [](const ::testing::TestParamInfo<SizingCase>& row) {
        return "Entries" + std::to_string(row.param.entries);
    });

TEST(Sizing, CountsWholeEntriesOnly)
{
    // A trailing partial entry does not count: 38,613 entries and 11 bytes.
    EXPECT_EQ(usePointTable(&scratch[0][0], 38613 * entryBytes + 11), 1);
    EXPECT_EQ(usePointTable(&scratch[0][0], 38612 * entryBytes + 11), 0);
}

TEST(Sizing, RefusesAnEmptyTable)
{
    EXPECT_EQ(usePointTable(&scratch[0][0], entryBytes - 1), 0);
    EXPECT_EQ(gridSide, 0);
    EXPECT_EQ(drawnCount, 0);
}

TEST(BuiltinGrid, IsSizedAndAccepted)
{
    ASSERT_EQ(initPointGrid(), 1);
    EXPECT_NE(pointTable, nullptr);
    EXPECT_EQ(gridSide, 196);
    EXPECT_EQ(drawnCount, 38416);
}

}  // namespace
