// The first frame, read back from the window and compared with the table's own projection.
#include "tests/e2e/knotwerry_run.h"
#include "tools/picture_model.h"
#include "tools/projection.h"
#include "tools/table_files.h"

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

// The fairness checks count pixels of a model of the picture: every point a 5 x 5 square
// about its centre pixel. The program's own first frame must be that picture, but for
// the few pixels where a point's centre lies within rounding of a pixel's edge.
TEST_F(Picture, FirstFrameIsTheModelsPicturePixelForPixelAlmost)
{
    constexpr int mostDiffering = 64;  // pixels of the 640,000
    std::vector<float> table = readTable(KNOT_TABLE_PATH);
    ASSERT_GE(table.size(), std::size_t{gridPoints} * 3);
    ASSERT_TRUE(start());
    const std::vector<int> cover =
        coverPicture(reinterpret_cast<const float(*)[3]>(table.data()), gridPoints);
    int differing = 0, white = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x) {
            const unsigned char* p = firstFrame.at(x, y);
            const bool lit = p[0] == 255 && p[1] == 255 && p[2] == 255;
            white += lit;
            differing += lit != (cover[y * pictureSide + x] != 0);
        }
    EXPECT_LE(differing, mostDiffering) << "of " << white << " white pixels";
    EXPECT_GT(white, windowSize * windowSize / 10);
}

}  // namespace
