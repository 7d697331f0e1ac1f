// The point grid: the built-in table, bound at start-up and sized by its integer square
// root, and the cross flip that changes it in place.
#include "grid/point_grid.h"

namespace {

constexpr std::size_t entryBytes = 3 * sizeof(float);  // x, y, z
constexpr int cellSize = 4;                            // pixels a grid cell spans each way

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

// Multiplies x, y and z by -1: only the sign bits change, and 0.0 becomes -0.0.
void negateEntry(int k)
{
    float* entry = pointTable + 3 * static_cast<std::size_t>(k);
    entry[0] *= -1.0f;
    entry[1] *= -1.0f;
    entry[2] *= -1.0f;
}

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

void flipCross(int x, int y)
{
    // X can report a press left of or above the window (another client's grab, say);
    // there is no cell there, and the index would fall before the table.
    if (x < 0 || y < 0)
        return;
    const int n = gridSide;
    int r = x / cellSize;
    int c = y / cellSize;
    if (r > n)
        r = n;
    if (c > n)
        c = n;
    // Row r and column r share entry r * N + r, which is negated twice here.
    for (int i = 0; i < n; ++i) {
        negateEntry(i * n + r);
        negateEntry(r * n + i);
    }
    negateEntry(r * n + c);
}
