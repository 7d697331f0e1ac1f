// The tests' fixture files: a point table (little-endian float32 x, y, z per entry) and
// a list of presses (lines "x y", # starts a comment).
#pragma once

#include <vector>

#include "tools/cross_model.h"

// Every float of the table file in order; empty when it cannot be read.
std::vector<float> readTable(const char* path);
// Every press of the file in order; empty when it cannot be read.
std::vector<Press> readPresses(const char* path);
