// The window's frame on X11: a title bar with no close, minimise or maximise control,
// and no way for the user to resize.
#pragma once

// Asks the window manager to fix the current GL window at the given geometry
// (screen pixels) with only a title bar and a border. Call right after the window
// is created; when a window manager runs, the window is briefly withdrawn and
// mapped again so that the manager reads the new hints.
void fixWindowFrame(int x, int y, int width, int height);
