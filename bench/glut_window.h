// The window the bench programs open, as knotwerry's start-up opens its own: GLUT given
// one argument, double-buffered RGB with depth, 800 x 800 at (100, 200). The floors keep
// these few calls of their own rather than call knotwerry's start-up, which would bring
// its frame, GLEW and grid with it. Defined here, in the header, so that every build of
// a floor (the Windows one too) has it by including it.
#pragma once

#include <GL/glut.h>

constexpr int benchWindowWidth = 800, benchWindowHeight = 800;  // client area, pixels

// glutInit with `name` as the only argument, then the window, titled `title`.
inline void openBenchWindow(char* name, const char* title)
{
    constexpr int windowX = 100, windowY = 200;  // screen pixels, top-left
    char* glutArgs[] = {name, nullptr};
    int glutArgCount = 1;
    glutInit(&glutArgCount, glutArgs);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(windowX, windowY);
    glutInitWindowSize(benchWindowWidth, benchWindowHeight);
    glutCreateWindow(title);
}
