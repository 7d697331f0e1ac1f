// Reads a point table file (little-endian float32 x, y, z per entry) into floats.
#pragma once

#include <vector>

// Every float of the file in order; empty when it cannot be read.
std::vector<float> readTable(const char* path);
