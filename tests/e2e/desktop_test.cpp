// What a desktop matches the running window by: its WM_CLASS, read from the real window.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/e2e/knotwerry_run.h"

#include <X11/Xatom.h>

namespace {

// An 8-bit STRING property as its raw bytes, NULs included; empty when there is none.
std::string stringProperty(Display* display, Window window, const char* name)
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

using TheDesktop = KnotwerryRun;

// ICCCM: instance name, then class name, each ended by a NUL.
TEST_F(TheDesktop, SeesTheWindowClassKnotwerry)
{
    ASSERT_TRUE(start());
    EXPECT_EQ(stringProperty(server.display, window, "WM_CLASS"),
              std::string("knotwerry\0Knotwerry\0", 20));
}

}  // namespace
