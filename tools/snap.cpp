// snap OUT.png PROGRAM: runs PROGRAM on a private X server, saves its first frame as a
// PNG, presses ESCAPE and reports how long the frame took and how the program ended.
#include <X11/keysym.h>

#include <cstdio>

#include "tools/xdrive.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);

int fail(const char* what, XServer& server, Child& child)
{
    std::fprintf(stderr, "snap: %s\n", what);
    endChild(child);
    stopXServer(server);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: snap OUT.png PROGRAM\n");
        return 1;
    }
    XServer server;
    Child child;
    if (!startXServer(server))
        return fail("cannot start Xvfb", server, child);
    auto start = Clock::now();
    if (!launch(child, server, {argv[2]}, {"LIBGL_ALWAYS_SOFTWARE=1"}))
        return fail("cannot start the program", server, child);
    Window window = awaitWindow(server.display, windowTitle, windowLimit);
    Image frame;
    if (window == None || !awaitPicture(server.display, window, frame, windowLimit, hasRed))
        return fail("no frame was drawn", server, child);
    double firstFrame = Seconds(Clock::now() - start).count();
    if (!writePng(argv[1], frame))
        return fail("cannot write the PNG", server, child);

    tapKeyOver(server.display, window, XK_Escape);
    if (!awaitExit(child, exitLimit))
        return fail("the program did not end on ESCAPE", server, child);
    stopXServer(server);
    std::printf("first frame after %.0f ms, saved to %s; exit status %d\n", firstFrame * 1000,
                argv[1], child.status);
    return child.status == 0 ? 0 : 1;
}
