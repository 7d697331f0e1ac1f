// What the window must show for a table of points: the fixed camera's projection, written
// apart from the program's own, turned by the twist, checked against pixels read back
// from the window. For the end-to-end tests and the tools that hold the program to it.
#pragma once

#include <string>

#include "tools/png.h"

// How far a picture is from the table's projection: point centres that are not white,
// and pixels farther than a point's reach from every point that are not pure red.
struct Mismatch {
    int darkCentres = 0;
    int strayPixels = 0;
    int redPixels = 0;        // pure red pixels away from every point
    std::string firstFaults;  // the first few faults, for the failure message
    bool none() const { return darkCentres == 0 && strayPixels == 0; }
};

// `table` holds x, y, z per entry; the first `points` entries are drawn. `twist` is in
// degrees, positive clockwise on screen.
Mismatch compareWithProjection(const Image& picture, const float* table, int points, double twist);
