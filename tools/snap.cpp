// snap OUT.png PROGRAM [X,Y ...]: runs PROGRAM on a private X server, makes the given
// left-button presses (window pixels), saves the picture as a PNG, presses ESCAPE and
// reports how long the first frame took and how and how soon the program ended.
#include <X11/keysym.h>

#include <cstdio>
#include <vector>

#include "tools/cross_model.h"
#include "tools/xdrive.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr auto windowLimit = std::chrono::seconds(20);
constexpr auto exitLimit = std::chrono::seconds(5);
// The program draws within milliseconds of an event; a picture unchanged this long
// after the last press is taken as its answer.
constexpr auto settleTime = std::chrono::milliseconds(500);

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
    std::vector<Press> presses;
    for (int i = 3; i < argc; ++i) {
        Press p{};
        if (!parsePress(argv[i], p)) {
            argc = 0;  // not a press: show the usage
            break;
        }
        presses.push_back(p);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: snap OUT.png PROGRAM [X,Y ...]\n");
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

    if (!presses.empty()) {
        for (Press p : presses) {
            pressButtonAt(server.display, window, p.x, p.y, 1);
            releaseButton(server.display, 1);
        }
        Image played;
        if (!awaitSettled(server.display, window, frame, played, settleTime, windowLimit))
            return fail("the presses changed nothing", server, child);
        frame = played;
    }
    if (!writePng(argv[1], frame))
        return fail("cannot write the PNG", server, child);

    auto escape = Clock::now();
    tapKeyOver(server.display, window, XK_Escape);
    if (!awaitExit(child, exitLimit))
        return fail("the program did not end on ESCAPE", server, child);
    double ending = Seconds(Clock::now() - escape).count();
    stopXServer(server);
    std::printf("first frame after %.0f ms; %zu presses; saved to %s; "
                "exit status %d, %.0f ms after ESCAPE\n",
                firstFrame * 1000, presses.size(), argv[1], child.status, ending * 1000);
    return child.status == 0 ? 0 : 1;
}
