// Marks painted on the program's frames.
#include "tools/marks.h"

#include <cmath>

#include "tools/knot_design.h"

namespace {

constexpr double pi = 3.14159265358979323846;

}  // namespace

bool isWhite(const Image& image, int x, int y)
{
    const unsigned char* p = image.at(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

void paint(Image& image, int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height)
        return;
    unsigned char* p = &image.rgb[3 * (std::size_t(y) * image.width + x)];
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
}

void ellipse(Image& image, int x, int y, int a, int b, Colour c, bool dashed)
{
    for (int dy = -b - 2; dy <= b + 2; ++dy)
        for (int dx = -a - 2; dx <= a + 2; ++dx) {
            const double inner = std::hypot(double(dx) / (a - 1), double(dy) / (b - 1));
            const double outer = std::hypot(double(dx) / (a + 1), double(dy) / (b + 1));
            const double turn = std::atan2(dy, dx) + pi;  // 0 .. 2 pi
            if (inner >= 1.0 && outer <= 1.0 && !(dashed && int(turn * 8 / pi) % 2))
                paint(image, x + dx, y + dy, c);
        }
}

void ring(Image& image, int x, int y, Colour c, bool dashed)
{
    ellipse(image, x, y, ringPx, ringPx, c, dashed);
}

Pixel strayAt(const float (*solved)[3], int row, int cell)
{
    const float* point = solved[row * knotSide + cell];
    const float mirrored[3] = {-point[0], -point[1], -point[2]};
    return pointPixel(mirrored);
}
