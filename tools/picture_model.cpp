// Draws a table as the program does, counting for every pixel the points that cover it.
#include "tools/picture_model.h"

#include <cmath>
#include <map>

Pixel pointPixel(const float* point)
{
    return {static_cast<int>(std::floor((point[0] + 0.5) * pictureSide)),
            static_cast<int>(std::floor((point[2] + 0.5) * pictureSide))};
}

namespace {

// Adds `step` to the count of every pixel of the window that the point covers.
template <typename Counts> void coverPoint(Counts& counts, const float* point, int step)
{
    const Pixel centre = pointPixel(point);
    for (int y = centre.y - pointReachPx; y <= centre.y + pointReachPx; ++y)
        for (int x = centre.x - pointReachPx; x <= centre.x + pointReachPx; ++x)
            if (x >= 0 && y >= 0 && x < pictureSide && y < pictureSide)
                counts[y * pictureSide + x] += step;
}

}  // namespace

std::vector<int> coverPicture(const float (*table)[3], int points)
{
    std::vector<int> cover(pictureSide * pictureSide, 0);
    for (int k = 0; k < points; ++k)
        coverPoint(cover, table[k], 1);
    return cover;
}

int changedPixels(const std::vector<int>& cover, const float (*before)[3], const float (*after)[3],
                  const std::vector<int>& entries, int points)
{
    std::map<int, int> change;  // pixel -> change in its count
    for (int k : entries) {
        if (k >= points)
            continue;
        coverPoint(change, before[k], -1);
        coverPoint(change, after[k], 1);
    }
    int changed = 0;
    for (const auto& [pixel, step] : change)
        changed += (cover[pixel] == 0) != (cover[pixel] + step == 0);
    return changed;
}

int differingPixels(const std::vector<int>& a, const std::vector<int>& b)
{
    int differing = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        differing += (a[i] == 0) != (b[i] == 0);
    return differing;
}
