// A storm of 1,000 real X events into the Wine desktop, as fast as the server takes
// them: presses of the left, middle and right buttons anywhere in the window, drags
// about the desktop with more presses in the window on the way, turn keys and other
// keys. Afterwards the window must show exactly the model's picture, and ESCAPE ends it.
// gtest before Xlib, whose None macro it would trip over.
#include "tests/windows/wine_run.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdint>
#include <cstdio>

namespace {

constexpr int stormEvents = 1000;  // XTest events sent: motions, buttons and keys
constexpr int keyShare = 30;       // keys, turn keys among them, per hundred gestures
constexpr int flushEvery = 64;
constexpr int desktopWidth = 1280, desktopHeight = 1024;

class Storm : public ModelledWineRun {
  protected:
    void sent()
    {
        if (++events % flushEvery == 0)
            XFlush(server.display);
    }
    // To client pixel (x, y), which may lie anywhere on the desktop.
    void move(Press to)
    {
        XTestFakeMotionEvent(server.display, DefaultScreen(server.display), originX + to.x,
                             originY + to.y, 0);
        pointer = to;
        sent();
    }
    void button(unsigned which, bool down)
    {
        XTestFakeButtonEvent(server.display, which, down, 0);
        if (down) {
            pressInModel(pointer);
            ++presses;
        }
        sent();
    }
    void key(KeySym sym)
    {
        KeyCode code = XKeysymToKeycode(server.display, sym);
        XTestFakeKeyEvent(server.display, code, True, 0);
        sent();
        XTestFakeKeyEvent(server.display, code, False, 0);
        sent();
    }
    Press inWindow() { return {dice.below(windowSize), dice.below(windowSize)}; }
    Press onDesktop() { return {dice.below(desktopWidth) - originX, dice.below(desktopHeight) - originY}; }
    unsigned anyButton() { return unsigned(1 + dice.below(3)); }

    void tap()
    {
        move(inWindow());
        unsigned which = anyButton();
        button(which, true);
        button(which, false);
    }
    // Down in the window, dragged about the desktop, back into the window for a press of
    // another button (the program still has the pointer), then let go.
    void drag()
    {
        move(inWindow());
        unsigned held = anyButton();
        button(held, true);
        for (int steps = 2 + dice.below(5); steps > 0; --steps)
            move(onDesktop());
        if (dice.below(2)) {
            move(inWindow());
            unsigned other = held % 3 + 1;
            button(other, true);
            button(other, false);
            move(onDesktop());
        }
        button(held, false);
    }
    void typeKey()
    {
        static const KeySym keys[] = {XK_Insert, XK_Insert, XK_Delete, XK_a,    XK_Z,
                                      XK_0,      XK_space,  XK_Return, XK_Left, XK_Up,
                                      XK_Home,   XK_F1,     XK_F5,     XK_Tab};
        // The keys go where the pointer is, and a player types over the window.
        move(inWindow());
        KeySym sym = keys[dice.below(sizeof keys / sizeof keys[0])];
        key(sym);
        if (sym == XK_Insert)
            twist += 1.0;
        else if (sym == XK_Delete)
            twist -= 1.0;
    }

    Dice dice;
    Press pointer = {0, 0};
    double twist = 0.0;
    int events = 0, presses = 0;
};

TEST_F(Storm, AThousandEventsEndInTheModelsPicture)
{
    while (events < stormEvents) {
        const Gesture next = dice.gesture(keyShare);
        if (next == Gesture::tap)
            tap();
        else if (next == Gesture::drag)
            drag();
        else if (next == Gesture::key)
            typeKey();
        else
            move(onDesktop());  // the pointer wanders with no button down
    }
    XSync(server.display, False);
    const auto sentAll = Clock::now();
    EXPECT_TRUE(awaitShowing(model, twist))
        << "after " << events << " events and " << presses << " presses at twist " << twist;
    std::printf("storm: %d events, %d presses, twist %+.0f; the picture was the model's %.0f ms "
                "after the last event\n",
                events, presses, twist,
                std::chrono::duration<double, std::milli>(Clock::now() - sentAll).count());

    tapKey(XK_Escape);
    ASSERT_TRUE(awaitExit(program, exitLimit));
    EXPECT_EQ(program.status, 0);
}

}  // namespace
