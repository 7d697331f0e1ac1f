// A model of the cross flip, written from its rules and apart from the program's own,
// for the generator that scrambles the picture and for the tests that check the
// program against it.
#pragma once

#include <cstddef>
#include <vector>

// A press at window pixel (x, y).
struct Press {
    int x, y;
};
// A press written "X,Y", as the tools take presses on their command line; false for
// anything else.
bool parsePress(const char* text, Press& press);
// The presses of `count` such arguments, in order; false when any is not a press.
bool parsePresses(char* const* args, int count, std::vector<Press>& presses);

// Where a press lands on a grid of `side`, in 4-pixel cells clamped to the side: x
// picks the cross (row and column `row`), y the entry `cell` of that row.
struct Cell {
    int row, cell;
};
// False, with nothing picked, for a press with a negative coordinate.
bool pressedCell(Press press, int side, Cell& picked);

// The table entries that a press on `picked` negates (an odd number of times), in
// increasing order.
std::vector<int> cellFlips(Cell picked, int side);
// The same for a press at (x, y); none for a negative coordinate.
std::vector<int> crossFlips(Press press, int side);

// The side of the grid drawn from a table of this many entries: its integer square root.
int gridSideOf(std::size_t entries);

// Applies the presses to a table of x, y, z floats, one after another.
void playPresses(float (*table)[3], const std::vector<Press>& presses, int side);
