// xdrive: a private Xvfb, a child program on it, its window found, read and played.
#include "tools/xdrive.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr auto serverStartLimit = std::chrono::seconds(20);

// A window that vanishes while we look at it (the program ended, or its manager
// let it go) is no reason to end the driver, as Xlib's default handler would.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

void drain(int& fd, std::string& text)
{
    if (fd < 0)
        return;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(got));
    if (got == 0) {
        close(fd);
        fd = -1;
    }
}

bool hasTitle(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    bool same = XFetchName(display, window, &name) && name && title == name;
    if (name)
        XFree(name);
    return same;
}

Window findTitled(Display* display, Window top, const std::string& title)
{
    if (hasTitle(display, top, title))
        return top;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, top, &root, &parent, &children, &count))
        return None;
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i)
        found = findTitled(display, children[i], title);
    if (children)
        XFree(children);
    return found;
}

int maskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

bool startXServer(XServer& server)
{
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        close(ready[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    server.pid = pid;
    // Xvfb writes its display number once it takes connections.
    std::string number;
    auto deadline = Clock::now() + serverStartLimit;
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        struct pollfd wait = {ready[0], POLLIN, 0};
        if (poll(&wait, 1, 100) > 0) {
            char c;
            if (read(ready[0], &c, 1) != 1)
                break;
            number += c;
        }
    }
    close(ready[0]);
    if (number.find('\n') == std::string::npos) {
        stopXServer(server);
        return false;
    }
    server.name = ":" + number.substr(0, number.find('\n'));
    XSetErrorHandler(ignoreXError);
    server.display = XOpenDisplay(server.name.c_str());
    if (!server.display) {
        stopXServer(server);
        return false;
    }
    return true;
}

void stopXServer(XServer& server)
{
    if (server.display)
        XCloseDisplay(server.display);
    server.display = nullptr;
    if (server.pid > 0) {
        kill(server.pid, SIGTERM);
        waitpid(server.pid, nullptr, 0);
    }
    server.pid = 0;
}

bool launch(Child& child, const XServer& server, const std::vector<std::string>& argv,
            const std::vector<std::string>& env)
{
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        setpgid(0, 0);  // its own group, so that ending it ends what it started too
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        setenv("DISPLAY", server.name.c_str(), 1);
        for (const std::string& setting : env)
            if (setting.find('=') == std::string::npos)
                unsetenv(setting.c_str());
            else
                putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    setpgid(pid, pid);
    close(out[1]);
    close(err[1]);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    child = Child{};
    child.pid = pid;
    child.out = out[0];
    child.err = err[0];
    return true;
}

bool awaitExit(Child& child, Seconds limit)
{
    bool ended = awaitCondition(
        [&] {
            drain(child.out, child.outText);
            drain(child.err, child.errText);
            if (child.pid <= 0)
                return true;
            int status;
            if (waitpid(child.pid, &status, WNOHANG) != child.pid)
                return false;
            child.pid = 0;
            child.signalled = WIFSIGNALED(status);
            child.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return true;
        },
        limit);
    drain(child.out, child.outText);
    drain(child.err, child.errText);
    return ended;
}

void endChild(Child& child)
{
    if (child.pid > 0) {
        kill(-child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
        child.pid = 0;
    }
    drain(child.out, child.outText);
    drain(child.err, child.errText);
    for (int* fd : {&child.out, &child.err})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
}

Window awaitWindow(Display* display, const std::string& title, Seconds limit)
{
    Window found = None;
    awaitCondition(
        [&] {
            found = findTitled(display, DefaultRootWindow(display), title);
            XWindowAttributes attributes;
            return found != None && XGetWindowAttributes(display, found, &attributes) &&
                   attributes.map_state == IsViewable;
        },
        limit);
    return found;
}

std::vector<long> windowProperty(Display* display, Window window, const char* name)
{
    Atom property = XInternAtom(display, name, False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        auto* longs = reinterpret_cast<long*>(data);
        values.assign(longs, longs + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::string windowString(Display* display, Window window, const char* name)
{
    Atom property = XInternAtom(display, name, False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string bytes;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, XA_STRING, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_STRING && format == 8)
        bytes.assign(reinterpret_cast<char*>(data), count);
    if (data)
        XFree(data);
    return bytes;
}

Geometry windowGeometry(Display* display, Window window)
{
    Geometry geometry;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return geometry;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &geometry.x,
                          &geometry.y, &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    return geometry;
}

bool grabWindow(Display* display, Window window, Image& image)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage* shot = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                             unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!shot)
        return false;
    image.width = shot->width;
    image.height = shot->height;
    image.rgb.resize(std::size_t(shot->width) * std::size_t(shot->height) * 3);
    int shifts[3] = {maskShift(shot->red_mask), maskShift(shot->green_mask),
                     maskShift(shot->blue_mask)};
    unsigned long masks[3] = {shot->red_mask, shot->green_mask, shot->blue_mask};
    unsigned char* to = image.rgb.data();
    for (int y = 0; y < shot->height; ++y)
        for (int x = 0; x < shot->width; ++x) {
            unsigned long pixel = XGetPixel(shot, x, y);
            for (int c = 0; c < 3; ++c) {
                unsigned long v = (pixel & masks[c]) >> shifts[c];
                unsigned long top = masks[c] >> shifts[c];
                *to++ = static_cast<unsigned char>(top ? v * 255 / top : 0);
            }
        }
    XDestroyImage(shot);
    return true;
}

bool awaitPicture(Display* display, Window window, Image& image, Seconds limit,
                  bool (*ready)(const Image&))
{
    return awaitCondition([&] { return grabWindow(display, window, image) && ready(image); },
                          limit);
}

bool hasRed(const Image& image)
{
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        if (image.rgb[i] == 255 && image.rgb[i + 1] == 0 && image.rgb[i + 2] == 0)
            return true;
    return false;
}

void tapKeyOver(Display* display, Window window, unsigned long keysym)
{
    Geometry where = windowGeometry(display, window);
    movePointerTo(display, window, where.width / 2, where.height / 2);
    pressKey(display, keysym);
    releaseKey(display, keysym);
}

void movePointerTo(Display* display, Window window, int x, int y)
{
    Geometry where = windowGeometry(display, window);
    XTestFakeMotionEvent(display, DefaultScreen(display), where.x + x, where.y + y, CurrentTime);
    XSync(display, False);
}

void pressButtonAt(Display* display, Window window, int x, int y, unsigned button)
{
    movePointerTo(display, window, x, y);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XSync(display, False);
}

void releaseButton(Display* display, unsigned button)
{
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

void pressKey(Display* display, unsigned long keysym)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), True, CurrentTime);
    XSync(display, False);
}

void releaseKey(Display* display, unsigned long keysym)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), False, CurrentTime);
    XSync(display, False);
}
