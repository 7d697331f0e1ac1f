// The window's frame on X11: a title bar with no close, minimise or maximise control,
// no way for the user to resize, and the class "knotwerry", "Knotwerry".
#pragma once

// Asks the window manager to fix the current GL window at the given geometry
// (screen pixels) with only a title bar and a border, and names its class. Call
// right after the window is created; when a window manager runs, the window is
// briefly withdrawn and mapped again so that the manager reads the new hints.
void fixWindowFrame(int x, int y, int width, int height);
