// The built-in picture: a trefoil knot drawn as an interlaced band of points, shipped
// scrambled by a fixed set of presses.
#pragma once

constexpr int knotEntries = 38696;  // entries in the table
constexpr int knotSide = 196;       // grid side; the first knotSide*knotSide entries are the grid

// Fills table[0 .. knotEntries-1] with the solved knot picture (x, y, z per entry).
void designKnot(float (*table)[3]);
// Fills it with the puzzle as shipped: the solved knot after the scrambling presses.
void designPuzzle(float (*table)[3]);
