// A model of the picture the program draws from a table at the start (no turn): every
// drawn point a white 5 x 5 pixel square about the pixel its centre falls in, on red.
// All points are white, so which one the depth test keeps in front never changes a pixel.
#pragma once

#include <vector>

constexpr int pictureSide = 800;  // window pixels a side
constexpr int pointReachPx = 2;   // a point covers its centre pixel and this many around it

// The pixel a table point (x, y, z) is centred on: x across from the left, z down from
// the top, one table unit spanning the window.
struct Pixel {
    int x, y;
};
Pixel pointPixel(const float* point);

// How many of the first `points` entries cover each pixel, row by row from the top;
// a pixel is white exactly when its count is not 0.
std::vector<int> coverPicture(const float (*table)[3], int points);

// The pixels that change colour, white to red or red to white, when the listed entries
// move from where `before` has them to where `after` has them; `cover` is the picture of
// the first `points` entries of `before`, and entries past those are not drawn. Exact
// for the whole picture when the two tables differ only in the listed entries.
int changedPixels(const std::vector<int>& cover, const float (*before)[3], const float (*after)[3],
                  const std::vector<int>& entries, int points);

// The pixels that differ between two pictures.
int differingPixels(const std::vector<int>& a, const std::vector<int>& b);
