// snap OUT.png PROGRAM [X,Y ...]: runs PROGRAM (knotwerry) on a private X server, makes the
// given left-button presses (window pixels), and saves the picture as a PNG once the window
// shows the model's picture of the puzzle after exactly those presses; then presses ESCAPE
// and reports how long the first frame took and how and how soon the program ended. It
// fails, saving nothing, when the window does not show the model's picture in time.
#include <cstdio>
#include <vector>

#include "tools/model_run.h"

int main(int argc, char** argv)
{
    std::vector<Press> presses;
    if (argc < 3 || !parsePresses(argv + 3, argc - 3, presses)) {
        std::fprintf(stderr, "usage: snap OUT.png PROGRAM [X,Y ...]\n");
        return 1;
    }
    ModelRun run;
    std::string why;
    if (!startModelRun(run, argv[2], why))
        return failModelRun("snap", why, run);
    if (!presses.empty() && !playModelRun(run, presses, why))
        return failModelRun("snap", why, run);
    if (!writePng(argv[1], run.frame))
        return failModelRun("snap", std::string("cannot write ") + argv[1], run);

    auto escape = Clock::now();
    if (!endModelRun(run, why))
        return failModelRun("snap", why, run);
    double ending = Seconds(Clock::now() - escape).count();
    stopModelRun(run);
    std::printf("first frame after %.0f ms; %zu presses; saved to %s; "
                "exit status %d, %.0f ms after ESCAPE\n",
                run.firstFrameSeconds * 1000, presses.size(), argv[1], run.program.status,
                ending * 1000);
    return 0;
}
