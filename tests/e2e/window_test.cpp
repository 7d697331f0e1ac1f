// The window as a player and a window manager see it, the exit statuses, and silence.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

using TheWindow = KnotwerryRun;

TEST_F(TheWindow, OpensAtItsPlaceWithItsTitleAndSize)
{
    ASSERT_TRUE(start());
    Geometry where = windowGeometry(server.display, window);
    EXPECT_EQ(where.x, 100);
    EXPECT_EQ(where.y, 200);
    EXPECT_EQ(where.width, windowSize);
    EXPECT_EQ(where.height, windowSize);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(server.display, window, &name));
    EXPECT_STREQ(name, windowTitle);
    XFree(name);
}

TEST_F(TheWindow, AsksForAFixedSizeAndOnlyATitleBar)
{
    ASSERT_TRUE(start());
    XSizeHints size;
    long supplied;
    ASSERT_TRUE(XGetWMNormalHints(server.display, window, &size, &supplied));
    long wanted = USPosition | USSize | PMinSize | PMaxSize;
    EXPECT_EQ(size.flags & wanted, wanted);
    EXPECT_EQ(size.min_width, windowSize);
    EXPECT_EQ(size.min_height, windowSize);
    EXPECT_EQ(size.max_width, windowSize);
    EXPECT_EQ(size.max_height, windowSize);
    // flags: functions and decorations; functions: move only; decorations: border and title.
    EXPECT_EQ(windowProperty(server.display, window, "_MOTIF_WM_HINTS"),
              (std::vector<long>{3, 4, 0xA, 0, 0}));
}

TEST_F(TheWindow, EscapeEndsItWithStatusZeroAndNoOutput)
{
    ASSERT_TRUE(start());
    pressEscape();
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 0);
    EXPECT_EQ(program.outText, "");
    EXPECT_EQ(program.errText, "");
}

// Mesa can be told to offer OpenGL 1.0 only, which GLEW refuses: start-up fails with
// 575, which the shell sees as 63, without a word.
TEST_F(TheWindow, RefusedGlewEndsStartUpWithStatus63Silently)
{
    ASSERT_TRUE(launch(program, server, {KNOTWERRY_PATH},
                       {"LIBGL_ALWAYS_SOFTWARE=1", "MESA_GL_VERSION_OVERRIDE=1.0"}));
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_FALSE(program.signalled);
    EXPECT_EQ(program.status, 63);
    EXPECT_EQ(program.outText, "");
    EXPECT_EQ(program.errText, "");
}

// Without an X server there is no window to open: GLUT says so and the program ends
// with a failure status of its own, at once, without a crash or a core.
struct NoServer {
    const char* name;
    std::string display;  // "DISPLAY" alone takes it out of the environment
};

void PrintTo(const NoServer& c, std::ostream* out)
{
    *out << c.display;
}

// The display a row names as ":free" is one that no server has, chosen at run time and
// held by a lock file of the test's own, as X servers lock their displays: a server
// started meanwhile leaves it alone.
constexpr char freeDisplay[] = "DISPLAY=:free";

class WithoutADisplay : public KnotwerryRun, public ::testing::WithParamInterface<NoServer> {
  protected:
    // ":N" for a display with neither a server's socket nor a lock, now locked by us;
    // "" when none of the numbers tried is free.
    std::string lockFreeDisplay()
    {
        for (int number = 4095; number > 1000; --number) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (access(socket.c_str(), F_OK) == 0)
                continue;
            int fd = open(lock.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0444);
            if (fd < 0)
                continue;
            char pid[16];
            int length = std::snprintf(pid, sizeof pid, "%10d\n", int(getpid()));
            bool written = write(fd, pid, std::size_t(length)) == length;
            close(fd);
            // A server may have made its socket just before we took the lock.
            if (!written || access(socket.c_str(), F_OK) == 0) {
                unlink(lock.c_str());
                continue;
            }
            lockPath = lock;
            return ":" + std::to_string(number);
        }
        return "";
    }
    void TearDown() override
    {
        if (!lockPath.empty())
            unlink(lockPath.c_str());
        KnotwerryRun::TearDown();
    }

    std::string lockPath;
};

TEST_P(WithoutADisplay, EndsAtOnceWithGlutsMessageAndAFailure)
{
    std::string display = GetParam().display;
    if (display == freeDisplay) {
        std::string number = lockFreeDisplay();
        ASSERT_NE(number, "") << "no free display number to try";
        display = "DISPLAY=" + number;
    }
    ASSERT_TRUE(launch(program, server, {KNOTWERRY_PATH}, {"LIBGL_ALWAYS_SOFTWARE=1", display}));
    ASSERT_TRUE(awaitExit(program, exitLimit))
        << "still running after " << exitLimit.count() << " s";
    EXPECT_FALSE(program.signalled) << "ended by a signal";
    EXPECT_NE(program.status, 0);
    EXPECT_NE(program.status, 63) << "GLUT should end it before start-up can fail";
    EXPECT_NE(program.errText.find("failed to open display"), std::string::npos) << program.errText;
    EXPECT_EQ(program.outText, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, WithoutADisplay,
                         ::testing::Values(NoServer{"Unset", "DISPLAY"},
                                           NoServer{"Empty", "DISPLAY="},
                                           NoServer{"NoServerThere", freeDisplay}),
                         caseName<NoServer>);

// Whatever the command line holds, GLUT never sees it.
class Arguments : public KnotwerryRun, public ::testing::WithParamInterface<CommandLine> {};

TEST_P(Arguments, AreIgnored)
{
    ASSERT_TRUE(start(GetParam().args));
    Geometry where = windowGeometry(server.display, window);
    EXPECT_EQ(where.x, 100);
    EXPECT_EQ(where.y, 200);
    EXPECT_EQ(where.width, windowSize);
    EXPECT_EQ(where.height, windowSize);
    pressEscape();
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_EQ(program.status, 0);
    EXPECT_EQ(program.errText, "");
}

INSTANTIATE_TEST_SUITE_P(CommandLines, Arguments,
                         ::testing::Values(CommandLine{"Geometry", {"-geometry", "320x240+0+0"}},
                                           CommandLine{"OtherDisplay", {"-display", ":1234"}},
                                           CommandLine{"GlutOptions",
                                                       {"-iconic", "-gldebug", "-direct"}},
                                           CommandLine{"Junk", {"--help", "puzzle.dat", ""}}),
                         caseName<CommandLine>);

}  // namespace
