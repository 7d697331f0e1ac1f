// sizing_bench: what sizing the grid costs at start-up, initPointGrid as main calls it.
#include <benchmark/benchmark.h>

#include "grid/point_grid.h"

namespace {

void BM_InitPointGrid(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(initPointGrid());
}

}  // namespace

BENCHMARK(BM_InitPointGrid)->UseRealTime();
BENCHMARK_MAIN();
