// wine_startup RUNS: start-up under Wine, knotwerry.exe against a bare freeglut + GLEW
// window built the same way (bench/bare_window.cpp), in turn, RUNS times each, on a
// private Xvfb in the tests' prefix. The clock runs from fork and exec of wine to the
// first grab of the Wine desktop that shows a pure red pixel, the first frame; then
// ESCAPE, and the next run starts once the red is gone. Wine's server and its desktop
// are started first and stay up, as they do for a player who has run any Windows
// program before; the first run of each program is a warm-up and not counted.
#include <X11/keysym.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/xdrive.h"

namespace {

constexpr auto limit = std::chrono::seconds(60);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// One start to the first frame, in milliseconds; negative when it fails.
double startUp(XServer& server, Window& desktop, const char* exe)
{
    Child child;
    Image seen;
    const auto began = Clock::now();
    if (!launch(child, server, {WINE, exe}, {"LIBGL_ALWAYS_SOFTWARE=1"}))
        return -1.0;
    bool shown = awaitCondition(
        [&] {
            if (desktop == None)
                desktop = awaitWindow(server.display, "Default - Wine desktop", Seconds(0));
            return desktop != None && grabWindow(server.display, desktop, seen) && hasRed(seen);
        },
        limit);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - began).count();
    if (shown) {
        tapKeyOver(server.display, desktop, XK_Escape);
        awaitExit(child, limit);
        awaitCondition([&] { return grabWindow(server.display, desktop, seen) && !hasRed(seen); },
                       limit);
    }
    endChild(child);
    return shown && child.status == 0 ? ms : -1.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc == 2 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: wine_startup RUNS\n");
        return 2;
    }
    setenv("WINEPREFIX", WINE_PREFIX, 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d", 1);
    XServer server;
    if (!startXServer(server)) {
        std::fprintf(stderr, "wine_startup: cannot start Xvfb\n");
        return 1;
    }
    int failed = std::system("wineserver -p >/dev/null 2>&1");
    Window desktop = None;
    std::vector<double> program, bare;
    for (int run = 0; run <= runs && failed == 0; ++run) {
        const double k = startUp(server, desktop, KNOTWERRY_EXE);
        const double b = startUp(server, desktop, BARE_WINDOW_EXE);
        if (k < 0 || b < 0)
            failed = 1;
        else if (run > 0) {
            program.push_back(k);
            bare.push_back(b);
        }
    }
    if (std::system("wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1") != 0)
        std::fprintf(stderr, "wine_startup: wineserver did not stop cleanly\n");
    stopXServer(server);
    if (failed) {
        std::fprintf(stderr, "wine_startup: a run did not reach its first frame or end with 0\n");
        return 1;
    }
    std::vector<double> ratios;
    for (std::size_t i = 0; i < program.size(); ++i)
        ratios.push_back(program[i] / bare[i]);
    std::printf("| Start-up under Wine, exec to first frame (median of %d interleaved runs) | "
                "%.1f ms | %.1f ms, bare freeglut + GLEW window | %.3f |\n",
                runs, median(program), median(bare), median(ratios));
    std::printf("knotwerry.exe runs:");
    for (double v : program)
        std::printf(" %.0f", v);
    std::printf(" ms\nbare_window.exe runs:");
    for (double v : bare)
        std::printf(" %.0f", v);
    std::printf(" ms\n");
    return 0;
}
