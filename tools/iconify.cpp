// iconify SIZE OUT.png: draws the solved knot as a SIZE x SIZE icon, white points on red.
//
// The picture is the one the window shows, point for point: entry (x, y, z) at window
// pixel ((x + 0.5) * 800, (0.5 + z) * 800), 5 pixels across. The icon scales that down,
// less an empty margin, with each point a disc and every pixel the average of a square
// of samples, so that the band stays whole and smooth even at 48 pixels.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tools/knot_design.h"
#include "tools/png.h"

namespace {

constexpr double windowPx = 800.0;
constexpr double pointPx = 5.0;    // the drawn point's size in the window
constexpr double marginPx = 30.0;  // cut from each side of the window; the knot starts past 50
constexpr int samplesPerSide = 8;  // samples across one icon pixel
constexpr int minSize = 16, maxSize = 1024;
constexpr unsigned char red[3] = {255, 0, 0}, white[3] = {255, 255, 255};

// The share of each icon pixel that the points cover, row by row from the top.
std::vector<double> coverage(const float (*table)[3], int size)
{
    const int side = size * samplesPerSide;
    const double scale = side / (windowPx - 2.0 * marginPx);  // samples per window pixel
    const double radius = pointPx / 2.0 * scale;
    std::vector<char> covered(std::size_t(side) * side);
    for (int k = 0; k < knotSide * knotSide; ++k) {
        const double cx = ((table[k][0] + 0.5) * windowPx - marginPx) * scale;
        const double cy = ((0.5 + table[k][2]) * windowPx - marginPx) * scale;
        const int x0 = std::max(0, int(std::floor(cx - radius)));
        const int x1 = std::min(side - 1, int(std::ceil(cx + radius)));
        const int y0 = std::max(0, int(std::floor(cy - radius)));
        const int y1 = std::min(side - 1, int(std::ceil(cy + radius)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                // Sample points sit at the centres of their cells.
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (dx * dx + dy * dy <= radius * radius)
                    covered[std::size_t(y) * side + x] = 1;
            }
    }
    std::vector<double> share(std::size_t(size) * size);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            share[std::size_t(y / samplesPerSide) * size + x / samplesPerSide] +=
                covered[std::size_t(y) * side + x];
    for (double& s : share)
        s /= samplesPerSide * samplesPerSide;
    return share;
}

bool writeIcon(const char* path, const std::vector<double>& share, int size)
{
    Image icon;
    icon.width = icon.height = size;
    icon.rgb.resize(std::size_t(size) * size * 3);
    for (std::size_t i = 0; i < share.size(); ++i)
        for (int c = 0; c < 3; ++c)
            icon.rgb[3 * i + c] =
                static_cast<unsigned char>(std::lround(red[c] + share[i] * (white[c] - red[c])));
    return writePng(path, icon);
}

}  // namespace

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < minSize || size > maxSize) {
        std::fprintf(stderr, "usage: iconify SIZE OUT.png (SIZE from %d to %d)\n", minSize,
                     maxSize);
        return 1;
    }
    // The solved picture from its generator: the shipped table may be scrambled.
    const std::unique_ptr<float[][3]> table = std::make_unique<float[][3]>(knotEntries);
    designKnot(table.get());
    if (!writeIcon(argv[2], coverage(table.get(), size), size)) {
        std::fprintf(stderr, "iconify: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
