// Marking the program's frames in colour, for the figures that the README and the guide
// to playing show: a pixel painted, rings about what a figure points at, and where a
// slice's stray point shows.
#pragma once

#include "tools/picture_model.h"
#include "tools/png.h"

struct Colour {
    unsigned char r, g, b;
};
constexpr Colour gutterColour = {96, 0, 0};  // between the frames and close-ups of a figure
constexpr int gutterPx = 10;                 // the gutter's width, pixels
constexpr int ringPx = 8;                    // a ring's radius about a marked point, pixels

// Whether pixel (x, y) is pure white, a point's colour.
bool isWhite(const Image& image, int x, int y);
// Paints pixel (x, y); nothing outside the image.
void paint(Image& image, int x, int y, Colour c);
// An ellipse two pixels thick about (x, y) with half axes a and b; dashed leaves every
// other stretch of it out.
void ellipse(Image& image, int x, int y, int a, int b, Colour c, bool dashed = false);
// A ring of radius ringPx, two pixels thick, about (x, y).
void ring(Image& image, int x, int y, Colour c, bool dashed = false);

// The mirrored place of point `cell` of slice `row` of the solved knot (the design's
// table): where a stray point of it shows.
Pixel strayAt(const float (*solved)[3], int row, int cell);
