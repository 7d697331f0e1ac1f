// The program on X11: main, the window's frame (Motif hints for the decorations, size
// hints that pin the size, and the class that desktops match the launcher by) and the
// exit on ESCAPE.
#include "app/platform.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr long motifFlags = 1 | 2;        // functions and decorations are given
constexpr long motifMoveOnly = 4;         // MWM_FUNC_MOVE: no close, resize, minimise, maximise
constexpr long motifTitleBorder = 2 | 8;  // MWM_DECOR_BORDER | MWM_DECOR_TITLE

constexpr auto managerWait = std::chrono::milliseconds(1000);
constexpr auto pollStep = std::chrono::milliseconds(1);

bool windowManagerRuns(Display* display)
{
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                       &format, &count, &after, &data);
    bool runs = data != nullptr && count == 1;
    if (data)
        XFree(data);
    return runs;
}

// The window's WM_STATE as its manager set it, or WithdrawnState when it has none.
long wmState(Display* display, Window window)
{
    Atom property = XInternAtom(display, "WM_STATE", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, property, 0, 2, False, property, &type, &format, &count,
                       &after, &data);
    long state =
        data != nullptr && count >= 1 ? reinterpret_cast<long*>(data)[0] : long{WithdrawnState};
    if (data)
        XFree(data);
    return state;
}

bool isViewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Managed: the manager has taken the window and shows it.
bool isManaged(Display* display, Window window)
{
    return wmState(display, window) == NormalState && isViewable(display, window);
}

// Withdrawn: unmapped and let go by the manager.
bool isWithdrawn(Display* display, Window window)
{
    return wmState(display, window) == WithdrawnState && !isViewable(display, window);
}

// Polls the window's state, for at most managerWait; the manager may be slow or ignore us.
void await(bool (*reached)(Display*, Window), Display* display, Window window)
{
    auto deadline = std::chrono::steady_clock::now() + managerWait;
    while (!reached(display, window) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(pollStep);
}

}  // namespace

void fixWindowFrame(const char*, int x, int y, int width, int height)
{
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;

    long motif[5] = {motifFlags, motifMoveOnly, motifTitleBorder, 0, 0};
    Atom motifHints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);

    XSizeHints size = {};
    size.flags = USPosition | USSize | PMinSize | PMaxSize;
    size.x = x;
    size.y = y;
    size.width = size.min_width = size.max_width = width;
    size.height = size.min_height = size.max_height = height;
    XSetWMNormalHints(display, window, &size);

    // WM_CLASS, which GLUT leaves unset; the launcher's StartupWMClass names the class.
    // Xlib takes non-const strings but only copies them into the property.
    char instance[] = "knotwerry", name[] = "Knotwerry";
    XClassHint windowClass = {instance, name};
    XSetClassHint(display, window, &windowClass);
    XFlush(display);

    // GLUT has mapped the window already, and many managers read these hints
    // only when a window is mapped: hand it back once and map it again.
    if (!windowManagerRuns(display))
        return;
    await(isManaged, display, window);
    XWithdrawWindow(display, window, DefaultScreen(display));
    await(isWithdrawn, display, window);
    XMoveWindow(display, window, x, y);  // some managers leave it shifted by their frame
    XMapWindow(display, window);
    XFlush(display);
}

void quitNow()
{
    std::_Exit(0);
}

int main()
{
    // GLUT gets our name alone, so no option from the command line is ever parsed.
    char name[] = "knotwerry";
    return run(name);
}
