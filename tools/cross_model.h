// A model of the cross flip, written from its rules and apart from the program's own,
// for the generator that scrambles the picture and for the tests that check the
// program against it.
#pragma once

#include <vector>

// A press at window pixel (x, y).
struct Press {
    int x, y;
};

// The table entries that a press at (x, y) negates on a grid of `side` (an odd number
// of times), in increasing order; none for a negative coordinate.
std::vector<int> crossFlips(Press press, int side);

// Applies the presses to a table of x, y, z floats, one after another.
void playPresses(float (*table)[3], const std::vector<Press>& presses, int side);
