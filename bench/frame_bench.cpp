// frame_bench: one frame of knotwerry on the GL it runs on, the real display() timed to
// glFinish, against clearing and swapping alone. Opens a window: needs an X display.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench/glut_window.h"
#include "grid/point_grid.h"
#include "view/view.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Frame bench";
constexpr auto shownLimit = std::chrono::seconds(20);

bool shown = false;  // GLUT has drawn into the mapped window once

void firstDisplay()
{
    display();
    shown = true;
}

void BM_Display(benchmark::State& state)
{
    for (auto _ : state) {
        display();
        glFinish();
    }
}

// What every frame costs before a single point: the same clear and swap.
void BM_ClearSwap(benchmark::State& state)
{
    for (auto _ : state) {
        glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        glFinish();
    }
}

// The window as knotwerry's main sets it up, mapped and drawn once, so that every swap
// below goes to a window on the screen.
bool openWindow()
{
    char name[] = "frame_bench";
    openBenchWindow(name, windowTitle);
    if (!initPointGrid())
        return false;
    glEnable(GL_DEPTH_TEST);
    glutDisplayFunc(firstDisplay);
    glutReshapeFunc(reshape);
    glutReshapeWindow(benchWindowWidth, benchWindowHeight);
    auto deadline = std::chrono::steady_clock::now() + shownLimit;
    while (!shown && std::chrono::steady_clock::now() < deadline)
        glutMainLoopEvent();
    return shown;
}

}  // namespace

BENCHMARK(BM_Display)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearSwap)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!openWindow()) {
        std::fprintf(stderr, "frame_bench: the window was never drawn\n");
        return 1;
    }
    benchmark::AddCustomContext("gl_renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::AddCustomContext("gl_version",
                                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
