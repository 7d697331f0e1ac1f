// The real knotwerry binary on a private Xvfb of its own, one per test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cross_model.h"
#include "tools/xdrive.h"

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr int windowSize = 800;
constexpr int gridSide = 196;
constexpr int gridPoints = gridSide * gridSide;  // the entries drawn

// Generous limits for a loaded CI machine; every wait polls and ends as soon as it can.
constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);

class KnotwerryRun : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program with these arguments and environment additions (software GL
    // is always asked for) and waits for its window and first frame, which comes
    // after all of start-up; false when either does not come.
    bool start(const std::vector<std::string>& args = {}, const std::vector<std::string>& env = {});
    // Presses ESCAPE with the pointer over the window.
    void pressEscape();
    // Polls the window until it shows `table` (x, y, z per entry, the grid's entries
    // drawn) turned by `twist` degrees, or `limit` passes.
    ::testing::AssertionResult awaitShowing(const std::vector<float>& table, double twist,
                                            Seconds limit = windowLimit);

    XServer server;
    Child program;
    Window window = None;
    Image firstFrame;
};

// A run played against the test's own model of the program's table, which starts as the
// shipped table; SetUp starts the program.
class ModelledRun : public KnotwerryRun {
  protected:
    void SetUp() override;
    // The model of the program's table after a press.
    void pressInModel(Press press);

    std::vector<float> model;
};
