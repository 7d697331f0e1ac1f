// press_bench: flipCross in ns per press over a mix of cells and margins, against the
// floor of negating the same 391 entries (a row and a column) in a plain loop.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>

#include "grid/point_grid.h"

namespace {

constexpr int tableEntries = 38'696;  // the built-in table
constexpr int entryFloats = 3;        // x, y, z
constexpr int cellSize = 4;           // pixels a grid cell spans each way
constexpr int gridPixels = 784;       // the grid's 196 cells; the margins lie beyond
constexpr int windowSize = 800;       // pixels
constexpr int gridPresses = 36;       // presses inside the grid, each on a cross of its own

struct Spot {
    int x, y;
};

// Presses spread evenly across the grid, left to right, their heights shuffled over it
// (5 is prime to 36), then presses in the right margin, the bottom margin and the
// corner, where the flip reaches past the grid into the spare entries.
constexpr int mixSize = gridPresses + 7;
constexpr std::array<Spot, mixSize> pressMix()
{
    std::array<Spot, mixSize> mix{};
    int n = 0;
    for (int k = 0; k < gridPresses; ++k)
        mix[n++] = {(2 * k + 1) * gridPixels / (2 * gridPresses),
                    (2 * (5 * k % gridPresses) + 1) * gridPixels / (2 * gridPresses)};
    mix[n++] = {gridPixels, 10};
    mix[n++] = {windowSize - 1, 400};
    mix[n++] = {790, 700};
    mix[n++] = {8, windowSize - 1};
    mix[n++] = {401, 790};
    mix[n++] = {780, gridPixels};
    mix[n++] = {windowSize - 1, windowSize - 1};
    return mix;
}
constexpr std::array<Spot, mixSize> mix = pressMix();

// The floor's own table, of the built-in table's size and filled from it.
float floorTable[tableEntries * entryFloats];

void negate(float* entry)
{
    entry[0] = -entry[0];
    entry[1] = -entry[1];
    entry[2] = -entry[2];
}

// The entries a press at column r touches, each once: row block r (N contiguous entries,
// spare ones past the grid when r = N), then the N - 1 entries of column r outside it,
// N * 12 bytes apart. The flip touches one entry more (the clicked cell) and the centre
// twice. Not inlined, so that it is called per press as flipCross is.
[[gnu::noinline]] void touchCross(float* table, int side, int r)
{
    float* row = table + entryFloats * r * side;
    for (int i = 0; i < side; ++i)
        negate(row + entryFloats * i);
    float* column = table + entryFloats * r;
    const int inRow = r < side ? r : side - 1;  // the column's entry inside the row block
    for (int i = 0; i < side; ++i)
        if (i != inRow)
            negate(column + entryFloats * i * side);
}

void BM_FlipCross(benchmark::State& state)
{
    initPointGrid();
    int next = 0;
    for (auto _ : state) {
        flipCross(mix[next].x, mix[next].y);
        benchmark::ClobberMemory();
        next = next + 1 == mixSize ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TouchFloor(benchmark::State& state)
{
    initPointGrid();
    const int side = gridSide;
    std::memcpy(floorTable, pointTable,
                sizeof(float) * entryFloats * (std::size_t(drawnCount) + side + 1));
    std::array<int, mixSize> crosses{};
    for (int i = 0; i < mixSize; ++i)
        crosses[i] = mix[i].x / cellSize < side ? mix[i].x / cellSize : side;
    int next = 0;
    for (auto _ : state) {
        touchCross(floorTable, side, crosses[next]);
        benchmark::ClobberMemory();
        next = next + 1 == mixSize ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FlipCross)->UseRealTime();
BENCHMARK(BM_TouchFloor)->UseRealTime();
BENCHMARK_MAIN();
