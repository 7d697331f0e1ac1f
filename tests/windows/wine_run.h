// knotwerry.exe under Wine, on a private Xvfb of its own, one per test, in the Wine
// virtual desktop of the prefix the tests share: the window as Windows sees it comes
// from the probe, its pixels from the desktop's X window.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/cross_model.h"
#include "tools/xdrive.h"

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr char desktopTitle[] = "Default - Wine desktop";
constexpr int windowSize = 800;
constexpr int gridSide = 196;
constexpr int gridPoints = gridSide * gridSide;  // the entries drawn

// Wine starts slowly, and more so on a loaded machine; every wait polls and ends as
// soon as it can.
constexpr auto windowLimit = std::chrono::seconds(60);
constexpr auto exitLimit = std::chrono::seconds(20);

// What the probe printed, one "name value" line each.
using Facts = std::map<std::string, std::string>;

// A Windows path on Wine's Z: drive, which is the Unix root.
std::string windowsPath(const std::string& unixPath);

class WineRun : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a Windows program (knotwerry.exe unless told) under Wine, with these
    // additions to the environment and these arguments, and waits for its first frame
    // and its window, as the probe sees it.
    ::testing::AssertionResult start(const std::string& exe = KNOTWERRY_EXE,
                                     const std::vector<std::string>& env = {},
                                     const std::vector<std::string>& args = {});
    // Waits for knotwerry's first frame in the Wine desktop, and then for its window as
    // the probe sees it. The first frame must be drawn to the client area's last column
    // and row, which are the clear colour.
    ::testing::AssertionResult awaitWindowAndFirstFrame();
    // Runs the probe with these arguments to its end; false when it fails.
    bool probe(const std::vector<std::string>& args, Facts& facts);
    // Runs a Windows program through a batch file under cmd /c, with DISPLAY taken out
    // of the Windows environment (freeglut would read it as its display's name). The
    // program's status as cmd sees it goes into `windowsStatus`.
    bool startThroughCmd(const std::string& exe, const std::vector<std::string>& env);
    int windowsStatus();

    // The client area's pixels, read from the desktop where the probe placed them.
    bool grabClient(Image& image);
    ::testing::AssertionResult awaitShowing(const std::vector<float>& table, double twist,
                                            Seconds limit = windowLimit);

    // Input as on Linux, at client pixels.
    void pressAt(int x, int y, unsigned button);
    void release(unsigned button);
    void tapKey(unsigned long keysym);

    XServer server;
    Child program;
    Window desktop = None;
    Facts window;         // the probe's facts about knotwerry's window
    int originX = 0, originY = 0;  // the client's top-left on the desktop
    Image firstFrame;
    std::string statusFile;
};

// A run against the test's own model of the program's table, which starts as the
// shipped table; SetUp starts the program.
class ModelledWineRun : public WineRun {
  protected:
    void SetUp() override;
    void pressInModel(Press press);

    std::vector<float> model;
};
