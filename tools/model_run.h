// knotwerry on a private X server, played with left-button presses as a player would, and
// held at every step to the model: the window must show the projection of the table that
// the model of a press makes from the shipped puzzle. For snap and figure.
#pragma once

#include <string>
#include <vector>

#include "tools/cross_model.h"
#include "tools/frames.h"
#include "tools/projection.h"
#include "tools/xdrive.h"

struct ModelRun {
    XServer server;
    Child program;
    Window window = None;
    FrameWatch watch;
    std::vector<float> table;  // the model of the program's table, x, y, z per entry
    Image frame;               // the last picture the window showed
    Mismatch last;             // how that picture differs from the model's
    double firstFrameSeconds = 0;
};

// Starts a private Xvfb and `program` on it, and waits for its first frame, which must
// show the puzzle as shipped; false, with the reason in `why`, when it does not in time.
bool startModelRun(ModelRun& run, const std::string& program, std::string& why);
// Presses at each spot in turn and waits for a frame that shows the model after them
// all, then left in run.frame; false, with the reason, when none does in time.
bool playModelRun(ModelRun& run, const std::vector<Press>& presses, std::string& why);
// Presses ESCAPE; true when the program ends with status 0 in time.
bool endModelRun(ModelRun& run, std::string& why);
// Ends whatever still runs, the program and the X server.
void stopModelRun(ModelRun& run);
// Says "TOOL: why" on standard error, ends what still runs and gives the tool's status, 1.
int failModelRun(const char* tool, const std::string& why, ModelRun& run);
