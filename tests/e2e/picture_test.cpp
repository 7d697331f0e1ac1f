// The first frame, read back from the window and compared with the table's own projection.
#include "tests/e2e/knotwerry_run.h"
#include "tests/e2e/projection.h"
#include "tests/fixtures.h"

namespace {

using Picture = KnotwerryRun;

TEST_F(Picture, FirstFrameIsTheGridAsWhitePointsOnRed)
{
    std::vector<float> table = readTable(KNOT_TABLE_PATH);
    ASSERT_GE(table.size(), std::size_t{gridPoints} * 3);
    ASSERT_TRUE(start());
    ASSERT_EQ(firstFrame.width, windowSize);
    ASSERT_EQ(firstFrame.height, windowSize);

    Mismatch m = compareWithProjection(firstFrame, table.data(), gridPoints, 0.0);
    EXPECT_EQ(m.darkCentres, 0) << "point centres that are not white: " << m.firstFaults;
    EXPECT_EQ(m.strayPixels, 0) << "pixels away from every point that are not pure red: "
                                << m.firstFaults;
    EXPECT_GT(m.redPixels, windowSize * windowSize / 4) << "the background should be mostly red";
}

}  // namespace
