// The fixed camera: table x across, z down, y only depth, one unit spanning the window;
// the twist turns the picture about the window centre.
#include "tools/projection.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int pointReach = 4;  // pixels; a 5-pixel point reaches 2.5 from its centre
constexpr int faultsShown = 5;

}  // namespace

Mismatch compareWithProjection(const Image& picture, const float* table, int points, double twist)
{
    const int width = picture.width, height = picture.height;
    const double turn = twist * pi / 180.0;
    const double cosine = std::cos(turn), sine = std::sin(turn);
    Mismatch result;
    std::ostringstream faults;
    int shown = 0;

    std::vector<char> near(std::size_t(width) * height);
    for (int k = 0; k < points; ++k) {
        // Eye coordinates with y up, then turned clockwise by the twist.
        double ex = table[3 * k], ey = -table[3 * k + 2];
        double tx = ex * cosine + ey * sine, ty = -ex * sine + ey * cosine;
        int cx = int(std::floor((tx + 0.5) * width)), cy = int(std::floor((0.5 - ty) * height));
        if (cx >= 0 && cy >= 0 && cx < width && cy < height) {
            const unsigned char* centre = picture.at(cx, cy);
            if (!(centre[0] == 255 && centre[1] == 255 && centre[2] == 255)) {
                ++result.darkCentres;
                if (shown++ < faultsShown)
                    faults << "point " << k << " at (" << cx << ", " << cy << ") is not white; ";
            }
        }
        for (int y = cy - pointReach; y <= cy + pointReach; ++y)
            for (int x = cx - pointReach; x <= cx + pointReach; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                    near[std::size_t(y) * width + x] = 1;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (near[std::size_t(y) * width + x])
                continue;
            const unsigned char* p = picture.at(x, y);
            if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
                ++result.redPixels;
            } else {
                ++result.strayPixels;
                if (shown++ < faultsShown)
                    faults << "pixel (" << x << ", " << y << ") away from every point is "
                           << int(p[0]) << "," << int(p[1]) << "," << int(p[2]) << "; ";
            }
        }
    result.firstFaults = faults.str();
    return result;
}
