// Waiting on a window's frames, as the X server reports the damage they do.
#include "tools/frames.h"

#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <cmath>

bool watchFrames(FrameWatch& watch, Display* display, Window window)
{
    int eventBase, errorBase;
    if (!XDamageQueryExtension(display, &eventBase, &errorBase))
        return false;
    watch = FrameWatch{};
    watch.display = display;
    watch.window = window;
    watch.damageEvent = eventBase + XDamageNotify;
    // Every swap puts the whole frame into the window: one report a frame.
    watch.damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    return true;
}

void stopWatchingFrames(FrameWatch& watch)
{
    if (watch.damage) {
        XDamageDestroy(watch.display, watch.damage);
        XSync(watch.display, False);
    }
    watch.damage = 0;
}

void readFrameReports(FrameWatch& watch)
{
    while (XPending(watch.display)) {
        XEvent event;
        XNextEvent(watch.display, &event);
        if (event.type == watch.damageEvent)
            ++watch.reports;
    }
}

bool awaitFrameReport(FrameWatch& watch, Clock::time_point deadline)
{
    const long before = watch.reports;
    for (;;) {
        readFrameReports(watch);
        if (watch.reports != before)
            return true;
        const double left = Seconds(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        struct pollfd wait = {ConnectionNumber(watch.display), POLLIN, 0};
        poll(&wait, 1, int(std::ceil(left * 1000)));
    }
}
