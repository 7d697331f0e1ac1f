// The first frame, read back from the window and compared with the table's own projection.
#include <cmath>

#include "tests/e2e/knotwerry_run.h"
#include "tests/fixtures.h"

namespace {

constexpr int gridPoints = 196 * 196;
constexpr int pointReach = 4;  // pixels; a 5-pixel point reaches 2.5 from its centre

using Picture = KnotwerryRun;

// The fixed camera at twist 0: table x across, z down, y only depth; one unit spans
// the window.
struct Spot {
    double x, y;
};
Spot project(const float* point)
{
    return {(point[0] + 0.5) * windowSize, (0.5 + point[2]) * windowSize};
}

TEST_F(Picture, FirstFrameIsTheGridAsWhitePointsOnRed)
{
    std::vector<float> table = readTable(KNOT_TABLE_PATH);
    ASSERT_GE(table.size(), std::size_t{gridPoints} * 3);
    ASSERT_TRUE(start());
    const Image& frame = firstFrame;
    ASSERT_EQ(frame.width, windowSize);
    ASSERT_EQ(frame.height, windowSize);

    std::vector<char> near(std::size_t(windowSize) * windowSize);
    int dark = 0;
    for (int k = 0; k < gridPoints; ++k) {
        Spot s = project(&table[3 * std::size_t(k)]);
        int cx = int(std::floor(s.x)), cy = int(std::floor(s.y));
        const unsigned char* centre = frame.at(cx, cy);
        if (!(centre[0] == 255 && centre[1] == 255 && centre[2] == 255) && ++dark <= 5)
            ADD_FAILURE() << "point " << k << " at (" << cx << ", " << cy << ") is not white";
        for (int y = cy - pointReach; y <= cy + pointReach; ++y)
            for (int x = cx - pointReach; x <= cx + pointReach; ++x)
                if (x >= 0 && y >= 0 && x < windowSize && y < windowSize)
                    near[std::size_t(y) * windowSize + x] = 1;
    }
    EXPECT_EQ(dark, 0) << "point centres that are not white";

    int stray = 0, red = 0;
    for (int y = 0; y < windowSize; ++y)
        for (int x = 0; x < windowSize; ++x) {
            if (near[std::size_t(y) * windowSize + x])
                continue;
            const unsigned char* p = frame.at(x, y);
            if (p[0] == 255 && p[1] == 0 && p[2] == 0)
                ++red;
            else if (++stray <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") away from every point is "
                              << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        }
    EXPECT_EQ(stray, 0) << "pixels away from every point that are not pure red";
    EXPECT_GT(red, windowSize * windowSize / 4) << "the background should be mostly red";
}

}  // namespace
