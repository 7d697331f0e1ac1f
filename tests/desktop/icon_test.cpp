// The built icons: each is its size square and shows the solved knot as the window
// does, white points on red, with 30 of the window's 800 pixels cut from each side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tools/knot_design.h"
#include "tools/png.h"

namespace {

constexpr double windowPx = 800.0, marginPx = 30.0;
constexpr double pointReachPx = 2.5;  // window pixels from a point's centre to its edge

class IconOfSize : public ::testing::TestWithParam<int> {};

TEST_P(IconOfSize, ShowsTheSolvedKnot)
{
    const int size = GetParam();
    const std::string path = std::string(ICON_DIR) + "/" + std::to_string(size) + "x" +
                             std::to_string(size) + "/knotwerry.png";
    Image icon;
    ASSERT_TRUE(readPng(path, icon)) << "cannot read " << path;
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);

    const std::unique_ptr<float[][3]> table = std::make_unique<float[][3]>(knotEntries);
    designKnot(table.get());
    const double scale = size / (windowPx - 2.0 * marginPx);  // icon pixels per window pixel
    const int reach = int(std::ceil(pointReachPx * scale)) + 1;
    std::vector<char> near(std::size_t(size) * size);
    int missing = 0;
    for (int k = 0; k < knotSide * knotSide; ++k) {
        int cx = int(std::floor(((table[k][0] + 0.5) * windowPx - marginPx) * scale));
        int cy = int(std::floor(((0.5 + table[k][2]) * windowPx - marginPx) * scale));
        ASSERT_TRUE(cx >= 0 && cy >= 0 && cx < size && cy < size) << "point " << k << " cut off";
        // Any share of a point lightens red towards white: green and blue rise.
        const unsigned char* centre = icon.at(cx, cy);
        if (!(centre[0] == 255 && centre[1] > 0 && centre[1] == centre[2]) && ++missing <= 5)
            ADD_FAILURE() << "point " << k << " at (" << cx << ", " << cy << ") is not shown";
        for (int y = std::max(0, cy - reach); y <= std::min(size - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(size - 1, cx + reach); ++x)
                near[std::size_t(y) * size + x] = 1;
    }
    EXPECT_EQ(missing, 0) << "points whose pixel shows none of them";

    int stray = 0, red = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (near[std::size_t(y) * size + x])
                continue;
            const unsigned char* p = icon.at(x, y);
            if (p[0] == 255 && p[1] == 0 && p[2] == 0)
                ++red;
            else if (++stray <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") away from every point is "
                              << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
        }
    EXPECT_EQ(stray, 0) << "pixels away from every point that are not pure red";
    EXPECT_GT(red, size * size / 2) << "the background should be mostly red";
}

INSTANTIATE_TEST_SUITE_P(Hicolor, IconOfSize, ::testing::Values(48, 128, 256),
                         [](const ::testing::TestParamInfo<int>& row) {
                             return "Px" + std::to_string(row.param);
                         });

}  // namespace
