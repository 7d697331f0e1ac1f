// knotwerry played against the model, frame by frame.
#include "tools/model_run.h"

#include <X11/keysym.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "tools/knot_design.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);

// Waits for a frame that shows the model's table; false, saying how the last frame
// differed, when none does in time.
bool awaitModel(ModelRun& run, const char* what, std::string& why)
{
    const bool shown = awaitFrame(run.watch, run.frame, windowLimit, [&](const Image& seen) {
        run.last = compareWithProjection(seen, run.table.data(), knotSide * knotSide, 0.0);
        return run.last.none();
    });
    if (!shown) {
        std::ostringstream text;
        text << "the window never showed " << what << " (" << run.watch.reports
             << " damage reports): " << run.last.darkCentres << " point centres not white, "
             << run.last.strayPixels << " pixels away from the points not red; "
             << run.last.firstFaults;
        why = text.str();
    }
    return shown;
}

}  // namespace

bool startModelRun(ModelRun& run, const std::string& program, std::string& why)
{
    const std::unique_ptr<float[][3]> puzzle = std::make_unique<float[][3]>(knotEntries);
    designPuzzle(puzzle.get());
    run.table.assign(&puzzle[0][0], &puzzle[0][0] + 3 * knotEntries);

    if (!startXServer(run.server)) {
        why = "cannot start Xvfb";
        return false;
    }
    const auto start = Clock::now();
    if (!launch(run.program, run.server, {program}, {"LIBGL_ALWAYS_SOFTWARE=1"})) {
        why = "cannot start " + program;
        return false;
    }
    run.window = awaitWindow(run.server.display, windowTitle, windowLimit);
    if (run.window == None) {
        why = "no window came";
        return false;
    }
    if (!watchFrames(run.watch, run.server.display, run.window)) {
        why = "the X server reports no damage";
        return false;
    }
    if (!awaitModel(run, "the puzzle as shipped", why))
        return false;
    run.firstFrameSeconds = Seconds(Clock::now() - start).count();
    return true;
}

bool playModelRun(ModelRun& run, const std::vector<Press>& presses, std::string& why)
{
    playPresses(reinterpret_cast<float(*)[3]>(run.table.data()), presses, knotSide);
    for (Press p : presses) {
        pressButtonAt(run.server.display, run.window, p.x, p.y, 1);
        releaseButton(run.server.display, 1);
    }
    return awaitModel(run, "the model after the presses", why);
}

bool endModelRun(ModelRun& run, std::string& why)
{
    stopWatchingFrames(run.watch);
    tapKeyOver(run.server.display, run.window, XK_Escape);
    if (!awaitExit(run.program, exitLimit)) {
        why = "the program did not end on ESCAPE";
        return false;
    }
    if (run.program.signalled || run.program.status != 0) {
        why = run.program.signalled
                  ? "the program was ended by a signal"
                  : "the program ended with status " + std::to_string(run.program.status);
        return false;
    }
    return true;
}

void stopModelRun(ModelRun& run)
{
    endChild(run.program);
    stopXServer(run.server);
}

int failModelRun(const char* tool, const std::string& why, ModelRun& run)
{
    std::fprintf(stderr, "%s: %s\n", tool, why.c_str());
    stopModelRun(run);
    return 1;
}
