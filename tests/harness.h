// What the end-to-end tests on Linux and under Wine share: the program's window and grid,
// its start on software GL, the waits for its first frame and for a table's picture,
// the model it is played against, the storms' dice and the cases both suites play. Each
// suite's fixture says how it reads the client area and gives input.
// gtest before Xlib, whose None macro it would trip over.
#pragma once

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/cross_model.h"
#include "tools/knot_design.h"
#include "tools/xdrive.h"

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr int windowSize = 800;  // the client area, pixels a side
constexpr int gridSide = 196;
constexpr int gridPoints = gridSide * gridSide;  // the entries drawn

// Starts a program (argv[0] is its path) on the server with Mesa's software renderer and
// these additions to the environment (launch's "NAME=value" and bare "NAME"); false when
// it cannot be started.
bool launchOnSoftwareGl(Child& program, const XServer& server, const std::vector<std::string>& argv,
                        const std::vector<std::string>& env);

// The table the program ships with, x, y, z per entry; empty when it cannot be read.
std::vector<float> shippedTable();

// Whether a picture differs from `table`'s at no twist: a press whose model picture is
// the one on screen would not show.
bool wouldShow(const std::vector<float>& table, const Image& now);

// The program as a player meets it: one run on a private X server of its own. The
// suites say how the client area is read and how input reaches it.
class ProgramRun : public ::testing::Test {
  protected:
    explicit ProgramRun(Seconds limit) : pictureLimit(limit) {}

    // The client area's pixels, windowSize a side; false while they cannot be read.
    virtual bool grabClient(Image& image) = 0;
    // Real input at client pixel (x, y), as a player gives it.
    virtual void pressAt(int x, int y, unsigned button) = 0;
    void release(unsigned button);
    // A key pressed and let go with the pointer over the client area.
    virtual void tapKey(unsigned long keysym) = 0;
    // Keeps a picture the test judged wrong beside the test's output, when the suite
    // has a place for it; `what` names it. What to add to the failure, if anything.
    virtual std::string keepPicture(const Image& seen, const std::string& what);

    // Polls until the client area shows a frame, the first, into firstFrame. It must be
    // drawn to the client area's last column and row, which are the clear colour.
    ::testing::AssertionResult awaitFirstFrame();
    // Polls the client area until it shows `table` (x, y, z per entry, the grid's
    // entries drawn) turned by `twist` degrees, or `limit` (pictureLimit unless told)
    // passes.
    ::testing::AssertionResult awaitShowing(const std::vector<float>& table, double twist);
    ::testing::AssertionResult awaitShowing(const std::vector<float>& table, double twist,
                                            Seconds limit);
    // Polls until the client area shows exactly the first frame again, pixel for pixel.
    bool backAtFirstFrame();

    const Seconds pictureLimit;  // how long a picture may take to come
    XServer server;
    Child program;
    Image firstFrame;
};

// A mouse button and where it is pressed, in client pixels.
struct ButtonCase {
    const char* name;
    unsigned button;  // X button: 1 left, 2 middle, 3 right, 4 and 5 the wheel
    Press press;
};
void PrintTo(const ButtonCase& c, std::ostream* out);

// A run played against the test's own model of the program's table, which starts as the
// shipped table; SetUp starts the program as a player does.
template <class Run> class Modelled : public Run {
  protected:
    void SetUp() override
    {
        Run::SetUp();
        if (this->HasFatalFailure())
            return;
        model = shippedTable();
        ASSERT_EQ(model.size(), std::size_t{knotEntries} * 3);
        ASSERT_TRUE(this->start());
    }

    // The model of the program's table after a press.
    void pressInModel(Press press)
    {
        playPresses(reinterpret_cast<float(*)[3]>(model.data()), {press}, gridSide);
    }

    // The press alone shows the flip; the release, then INSERT as a marker that every
    // earlier event has been handled, shows nothing but the turn.
    void pressFlipsAndReleaseDoesNothing(const ButtonCase& c)
    {
        pressInModel(c.press);
        ASSERT_TRUE(wouldShow(model, this->firstFrame)) << "this press would not show";
        this->pressAt(c.press.x, c.press.y, c.button);
        EXPECT_TRUE(this->awaitShowing(model, 0.0)) << "after the press";
        this->release(c.button);
        this->tapKey(XK_Insert);
        EXPECT_TRUE(this->awaitShowing(model, 1.0)) << "after the release and INSERT";
    }

    std::vector<float> model;
};

// A command line the program is started with.
struct CommandLine {
    const char* name;
    std::vector<std::string> args;
};
void PrintTo(const CommandLine& line, std::ostream* out);

// Names a row of a table of cases after its own name.
template <class Row> std::string caseName(const ::testing::TestParamInfo<Row>& row)
{
    return row.param.name;
}

// What a storm's player does next: a press and release, a drag with a button held, a key,
// or a move of the pointer with no button down.
enum class Gesture { tap, drag, key, wander };

// The storms' random source: a fixed little generator, so that every run plays the same
// storm.
struct Dice {
    std::uint32_t state = 20261210u;
    int below(int n)
    {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % std::uint32_t(n));
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    // 45 taps in a hundred gestures, 20 drags, `keys` keys and wandering for the rest.
    Gesture gesture(int keys)
    {
        const int roll = below(100);
        return roll < 45          ? Gesture::tap
               : roll < 65        ? Gesture::drag
               : roll < 65 + keys ? Gesture::key
                                  : Gesture::wander;
    }
};
