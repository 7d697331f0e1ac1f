// knotwerry.exe under Wine, on a private Xvfb of its own, one per test, in the Wine
// virtual desktop of the prefix the tests share: the window as Windows sees it comes
// from the probe, its pixels from the desktop's X window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/harness.h"

constexpr char desktopTitle[] = "Default - Wine desktop";

// Wine starts slowly, and more so on a loaded machine; every wait polls and ends as
// soon as it can.
constexpr auto windowLimit = std::chrono::seconds(60);
constexpr auto exitLimit = std::chrono::seconds(20);

// What the probe printed, one "name value" line each.
using Facts = std::map<std::string, std::string>;

// A Windows path on Wine's Z: drive, which is the Unix root.
std::string windowsPath(const std::string& unixPath);

class WineRun : public ProgramRun {
  protected:
    WineRun() : ProgramRun(windowLimit) {}
    void SetUp() override;
    void TearDown() override;

    // Starts a Windows program (knotwerry.exe unless told) under Wine, with these
    // additions to the environment and these arguments, and waits for its first frame
    // and its window, as the probe sees it.
    ::testing::AssertionResult start(const std::string& exe = KNOTWERRY_EXE,
                                     const std::vector<std::string>& env = {},
                                     const std::vector<std::string>& args = {});
    // Waits for knotwerry's first frame in the Wine desktop, and then for its window as
    // the probe sees it.
    ::testing::AssertionResult awaitWindowAndFirstFrame();
    // Runs the probe with these arguments to its end; false when it fails.
    bool probe(const std::vector<std::string>& args, Facts& facts);
    // Runs a Windows program through a batch file under cmd /c, with DISPLAY taken out
    // of the Windows environment (freeglut would read it as its display's name). The
    // program's status as cmd sees it goes into `windowsStatus`.
    bool startThroughCmd(const std::string& exe, const std::vector<std::string>& env);
    int windowsStatus();

    // The client area's pixels, read from the desktop where the probe placed them.
    bool grabClient(Image& image) override;
    // Input as on Linux, at client pixels.
    void pressAt(int x, int y, unsigned button) override;
    void tapKey(unsigned long keysym) override;
    // A picture judged wrong, and the whole desktop beside it, as PNG files in the
    // tests' folder.
    std::string keepPicture(const Image& seen, const std::string& what) override;

    Window desktop = None;
    Facts window;                  // the probe's facts about knotwerry's window
    int originX = 0, originY = 0;  // the client's top-left on the desktop
    std::string statusFile;
};

using ModelledWineRun = Modelled<WineRun>;
