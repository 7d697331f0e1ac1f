// The point grid: the built-in table, bound at start-up and sized by its integer square root.
#include "grid/point_grid.h"

namespace {

constexpr std::size_t entryBytes = 3 * sizeof(float);  // x, y, z

// The built-in picture, compiled in from grid/data/knot.bin as writable data:
// flips change it in place and every run starts again from these values.
float builtinTable[][3] = {
#include "knot_table.inc"
};

// Newton's iteration for the integer square root, truncating throughout:
// it falls from s = m onto floor(sqrt(m)) and stops when it no longer falls.
constexpr long long integerRoot(long long m)
{
    long long s = m;
    long long t = (s + m / s) / 2;
    while (t < s) {
        s = t;
        t = (s + m / s) / 2;
    }
    return s;
}

constexpr bool gridUsable(long long entries, long long side)
{
    return side != 0 && side % 2 == 0 && entries >= side * side + side + 1;
}

constexpr long long builtinEntries = sizeof builtinTable / entryBytes;
static_assert(sizeof builtinTable[0] == entryBytes, "entries are three packed floats");
static_assert(gridUsable(builtinEntries, integerRoot(builtinEntries)),
              "the built-in table must give an even grid with room for every flip");

}  // namespace

float* pointTable = nullptr;
int gridSide = 0;
int drawnCount = 0;

int usePointTable(float* table, std::size_t bytes)
{
    long long entries = static_cast<long long>(bytes / entryBytes);
    long long side = entries > 0 ? integerRoot(entries) : 0;
    pointTable = table;
    gridSide = static_cast<int>(side);
    drawnCount = static_cast<int>(side * side);
    return gridUsable(entries, side) ? 1 : 0;
}

int initPointGrid()
{
    return usePointTable(&builtinTable[0][0], sizeof builtinTable);
}
