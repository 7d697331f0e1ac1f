// The platform seam: the entry, the window's frame and the exit on ESCAPE. Each platform
// has one file behind these declarations (x11.cpp, win32.cpp, web.cpp), and the build
// picks it. Nothing here includes the program's other folders.
#pragma once

// The start-up steps and GLUT's main loop, defined in app/main.cpp. A platform's entry
// calls it with the one argument GLUT is to see, and returns what it returns as the exit
// status.
int run(char* glutArgument);

// Gives the window just created, titled title, a fixed frame at the given geometry
// (screen pixels): a title bar with no close, minimise or maximise control, and no
// resizing. Call it right after the window is created.
void fixWindowFrame(const char* title, int x, int y, int width, int height);

// Ends the process at once with status 0: no last frame, no clean-up.
[[noreturn]] void quitNow();
