// The program on X11: main, the window's frame (Motif hints for the decorations, size
// hints that pin the size, and the class that desktops match the launcher by) and the
// exit on ESCAPE.
#include "platform/platform.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/select.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr long motifFlags = 1 | 2;        // functions and decorations are given
constexpr long motifMoveOnly = 4;         // MWM_FUNC_MOVE: no close, resize, minimise, maximise
constexpr long motifTitleBorder = 2 | 8;  // MWM_DECOR_BORDER | MWM_DECOR_TITLE

// The one manager that reads the Motif hints only when a window is mapped, by the name
// it gives itself (_NET_WM_NAME on its check window).
constexpr char mapTimeReader[] = "Fluxbox";
// How long to wait for it at each step; it answers within milliseconds.
constexpr auto managerWait = std::chrono::milliseconds(500);

bool badWindow = false;

// A check window that is gone (its manager died) is an answer, not a reason to end.
int noteXError(Display*, XErrorEvent*)
{
    badWindow = true;
    return 0;
}

// Reads property `name` of `window` when it has exactly the type and format given and
// at least one item; the caller frees *data with XFree. False, with *data null, when the
// window has no such property, holds another kind, or is gone.
bool readProperty(Display* display, Window window, const char* name, Atom type, int format,
                  long length, unsigned char** data, unsigned long* count)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long after = 0;
    *data = nullptr;
    *count = 0;
    badWindow = false;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(noteXError);
    int status = XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, length,
                                    False, type, &actualType, &actualFormat, count, &after, data);
    XSync(display, False);
    XSetErrorHandler(previous);
    bool fits = status == Success && !badWindow && *data != nullptr && actualType == type &&
                actualFormat == format && *count >= 1;
    if (!fits && *data) {
        XFree(*data);
        *data = nullptr;
    }
    return fits;
}

// The window named by `window`'s _NET_SUPPORTING_WM_CHECK, or None.
Window checkWindow(Display* display, Window window)
{
    unsigned char* data;
    unsigned long count;
    if (!readProperty(display, window, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, 1, &data, &count))
        return None;
    // Xlib hands 32-bit items out as longs.
    Window named = Window(reinterpret_cast<unsigned long*>(data)[0]);
    XFree(data);
    return named;
}

// True when a manager runs, as EWMH confirms one (the root names a check window, which
// names itself), and calls itself `name`.
bool managerIs(Display* display, const char* name)
{
    Window check = checkWindow(display, DefaultRootWindow(display));
    if (check == None || checkWindow(display, check) != check)
        return false;
    unsigned char* data;
    unsigned long count;
    if (!readProperty(display, check, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False),
                      8, 64, &data, &count))
        return false;
    bool same = count == std::strlen(name) && std::memcmp(data, name, count) == 0;
    XFree(data);
    return same;
}

// The window's WM_STATE as its manager set it, or WithdrawnState when it has none.
long wmState(Display* display, Window window)
{
    Atom property = XInternAtom(display, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, property, 0, 2, False, property, &type, &format, &count,
                       &after, &data);
    long state = data && type == property && format == 32 && count >= 1
                     ? reinterpret_cast<long*>(data)[0]
                     : long{WithdrawnState};
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

// Waits on `watch`, a connection that selected the window's structure and property
// events, until the window reaches the state or managerWait passes: every change
// comes as an event, and between events the process sleeps in select. True when the
// state was reached.
bool await(bool (*reached)(Display*, Window), Display* watch, Window window)
{
    auto deadline = std::chrono::steady_clock::now() + managerWait;
    while (!reached(watch, window)) {
        while (XPending(watch)) {
            XEvent event;
            XNextEvent(watch, &event);
        }
        if (reached(watch, window))
            return true;
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        int connection = ConnectionNumber(watch);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        timeval wait = {0, suseconds_t(left.count())};
        select(connection + 1, &readable, nullptr, nullptr, &wait);
    }
    return true;
}

// For a manager that reads the hints only at map time: once it has taken the window,
// hand the window back and map it again. One that has not taken it in time has not read
// the hints either, and is left to read them when it does. A connection of its own
// watches the window, so that GLUT's event queue and event mask stay as GLUT keeps them.
void mapAgain(Display* display, Window window, int x, int y)
{
    Display* watch = XOpenDisplay(DisplayString(display));
    if (!watch)
        return;
    XSelectInput(watch, window, StructureNotifyMask | PropertyChangeMask);
    XSync(watch, False);
    if (!await(isManaged, watch, window)) {
        XCloseDisplay(watch);
        return;
    }
    XWithdrawWindow(display, window, DefaultScreen(display));
    XFlush(display);
    await(isWithdrawn, watch, window);
    XCloseDisplay(watch);
    XMoveWindow(display, window, x, y);  // it would leave the window shifted by its frame
    XMapWindow(display, window);
    XFlush(display);
}

}  // namespace

void fixWindowFrame(const char*, int x, int y, int width, int height)
{
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;

    // GLUT has mapped the window already; managers follow these hints as they change.
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

    if (managerIs(display, mapTimeReader))
        mapAgain(display, window, x, y);
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
