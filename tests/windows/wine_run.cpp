// knotwerry.exe under Wine on a private Xvfb, in the shared prefix's virtual desktop.
#include "tests/windows/wine_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Wine's server lives on after the program that started it and would keep every pipe
// it inherited open: it is started apart, writing nowhere, and ended with the test.
void wineserver(const char* option)
{
    std::string command = std::string("wineserver ") + option + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && std::string(option) == "-p")
        ADD_FAILURE() << "cannot start wineserver";
}

}  // namespace

std::string windowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void WineRun::SetUp()
{
    setenv("WINEPREFIX", WINE_PREFIX, 1);
    setenv("WINEDEBUG", "-all", 1);
    // No menu entries or icons for the machine's own desktop from what the tests install.
    setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d", 1);
    ASSERT_TRUE(startXServer(server)) << "cannot start Xvfb";
    wineserver("-p");
    statusFile = std::string(TEST_WORK_DIR) + "/status.txt";
    std::remove(statusFile.c_str());
}

void WineRun::TearDown()
{
    endChild(program);
    wineserver("-k");
    wineserver("-w");
    stopXServer(server);
}

bool WineRun::probe(const std::vector<std::string>& args, Facts& facts)
{
    Child run;
    std::vector<std::string> argv = {WINE, PROBE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!launch(run, server, argv))
        return false;
    bool ended = awaitExit(run, windowLimit + exitLimit);
    endChild(run);
    std::istringstream lines(run.outText);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t space = line.find(' ');
        if (space != std::string::npos)
            facts[line.substr(0, space)] = line.substr(space + 1);
    }
    return ended && run.status == 0;
}

::testing::AssertionResult WineRun::start(const std::string& exe,
                                          const std::vector<std::string>& env,
                                          const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {WINE, exe};
    argv.insert(argv.end(), args.begin(), args.end());
    if (!launchOnSoftwareGl(program, server, argv, env))
        return ::testing::AssertionFailure() << "cannot start " << exe;
    return awaitWindowAndFirstFrame();
}

// GLUT shows the window as soon as it is made, and start-up fixes its frame and size
// before the first frame: Windows is asked where the client area is once that frame
// shows on the desktop.
::testing::AssertionResult WineRun::awaitWindowAndFirstFrame()
{
    desktop = awaitWindow(server.display, desktopTitle, windowLimit);
    if (desktop == None)
        return ::testing::AssertionFailure() << "no Wine desktop";
    Image whole;
    if (!awaitCondition([&] { return grabWindow(server.display, desktop, whole) && hasRed(whole); },
                        windowLimit))
        return ::testing::AssertionFailure() << "no frame on the desktop";
    if (!probe({"window", windowTitle, std::to_string(windowLimit.count())}, window))
        return ::testing::AssertionFailure() << "the probe saw no window: " << window["window"];
    if (!(std::istringstream(window["origin"]) >> originX >> originY))
        return ::testing::AssertionFailure() << "the probe gave no origin";
    return awaitFirstFrame();
}

bool WineRun::startThroughCmd(const std::string& exe, const std::vector<std::string>& env)
{
    const std::string batch = std::string(TEST_WORK_DIR) + "/run.bat";
    std::ofstream file(batch, std::ios::binary);
    file << "@echo off\r\n"
         << "set DISPLAY=\r\n"
         << "\"" << windowsPath(exe) << "\"\r\n"
         << "echo %ERRORLEVEL%> \"" << windowsPath(statusFile) << "\"\r\n";
    file.close();
    return file &&
           launchOnSoftwareGl(program, server, {WINE, "cmd", "/c", windowsPath(batch)}, env);
}

int WineRun::windowsStatus()
{
    std::ifstream file(statusFile);
    int status = -1;
    file >> status;
    return status;
}

bool WineRun::grabClient(Image& image)
{
    Image whole;
    if (!grabWindow(server.display, desktop, whole) || originX < 0 || originY < 0 ||
        originX + windowSize > whole.width || originY + windowSize > whole.height)
        return false;
    image.width = image.height = windowSize;
    image.rgb.resize(std::size_t(windowSize) * windowSize * 3);
    for (int y = 0; y < windowSize; ++y)
        std::copy_n(whole.at(originX, originY + y), std::size_t(windowSize) * 3,
                    &image.rgb[std::size_t(y) * windowSize * 3]);
    return true;
}

std::string WineRun::keepPicture(const Image& seen, const std::string& what)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/')
            c = '-';
    const std::string shot = std::string(TEST_WORK_DIR) + "/" + name + "-" + what + ".png";
    writePng(shot, seen);
    Image whole;
    if (grabWindow(server.display, desktop, whole))
        writePng(std::string(TEST_WORK_DIR) + "/" + name + "-desktop.png", whole);
    return "(" + what + ": " + shot + ") ";
}

void WineRun::pressAt(int x, int y, unsigned button)
{
    pressButtonAt(server.display, desktop, originX + x, originY + y, button);
}

void WineRun::tapKey(unsigned long keysym)
{
    movePointerTo(server.display, desktop, originX + windowSize / 2, originY + windowSize / 2);
    pressKey(server.display, keysym);
    releaseKey(server.display, keysym);
}
