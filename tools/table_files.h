// The table files the tools and the tests read: a point table (little-endian float32 x,
// y, z per entry, as grid/data/knot.bin) and a list of presses (lines "x y", # starts a
// comment, as tests/data/solution.txt).
#pragma once

#include <vector>

#include "tools/cross_model.h"

// Every float of the table file in order; empty when it cannot be read.
std::vector<float> readTable(const char* path);
// Every press of the file in order; empty when it cannot be read.
std::vector<Press> readPresses(const char* path);
