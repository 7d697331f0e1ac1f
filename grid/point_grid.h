// The point grid: the built-in table of 3D points, the side of the square grid drawn
// from it, and the cross flip that a press makes.
#pragma once

#include <cstddef>

// Process-wide, set by initPointGrid and fixed for the whole run (the table's
// contents change only by flips). Entries are x, y, z floats, 12 bytes each;
// entry k < drawnCount is grid cell (k / gridSide, k % gridSide).
extern float* pointTable;
extern int gridSide;    // N, the integer square root of the entry count
extern int drawnCount;  // N * N, the entries that are drawn

// Binds the built-in table and sizes the grid; 1 when the grid is usable, 0 when not.
int initPointGrid();

// Binds any table of `bytes` bytes and sizes the grid as initPointGrid does. A grid
// is usable when N is non-zero and even and the table reaches entry N * N + N, the
// farthest entry a flip can touch.
int usePointTable(float* table, std::size_t bytes);

// The one move: a press at window pixel (x, y) negates (x, y, z of) row r and column r
// of the grid, r = x / 4, and then entry r * N + c once more, c = y / 4; both are
// clamped to at most N, so presses in the right and bottom margins reach the spare
// entries past the grid. A press with a negative coordinate changes nothing. Needs a
// usable grid.
void flipCross(int x, int y);
