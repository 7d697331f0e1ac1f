// Knotwerry: a puzzle of white points on red in one fixed 800 x 800 window.
//
// grid/ owns the built-in table of points and the grid drawn from it, view/ draws a
// frame and sets the projection, input/ turns keys and button presses into changes
// and redraw requests, and app/ starts it all: GLUT and the window, GLEW, the grid,
// the callbacks, then GLUT's main loop, which never returns. Start reading run(); each
// platform's entry calls it, in platform/ beside the window's frame and the exit.
#include <GL/glew.h>
#include <GL/glut.h>

#include "grid/point_grid.h"
#include "input/input.h"
#include "platform/platform.h"
#include "view/view.h"

namespace {

constexpr int windowX = 100, windowY = 200;           // screen pixels, top-left
constexpr int windowWidth = 800, windowHeight = 800;  // client area, pixels
constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr int startFailed = 575;  // the shell sees 575 % 256 = 63

}  // namespace

int run(char* glutArgument)
{
    char* glutArgs[] = {glutArgument, nullptr};
    int glutArgCount = 1;
    glutInit(&glutArgCount, glutArgs);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(windowX, windowY);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow(windowTitle);
    fixWindowFrame(windowTitle, windowX, windowY, windowWidth, windowHeight);

    if (glewInit() != GLEW_OK)
        return startFailed;
    if (!initPointGrid())
        return startFailed;
    glEnable(GL_DEPTH_TEST);

    glutDisplayFunc(display);
    glutSpecialFunc(special);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutReshapeFunc(reshape);

    glutReshapeWindow(windowWidth, windowHeight);
    glutMainLoop();
    return 0;
}
