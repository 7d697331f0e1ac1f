// Knotwerry: a puzzle of white points on red in one fixed 800 x 800 window.
//
// grid/ owns the built-in table of points and the grid drawn from it, view/ draws a
// frame and sets the projection, input/ turns keys and button presses into changes
// and redraw requests, and app/ starts it all: GLUT and the window, GLEW, the grid,
// the callbacks, then GLUT's main loop, which never returns. Start reading main().
#include <GL/glew.h>
#include <GL/glut.h>

#include "app/window_frame.h"
#include "grid/point_grid.h"
#include "input/input.h"
#include "view/view.h"

namespace {

constexpr int windowX = 100, windowY = 200;           // screen pixels, top-left
constexpr int windowWidth = 800, windowHeight = 800;  // client area, pixels
constexpr char windowTitle[] = "Tavrosk: Knotwerry";
constexpr int startFailed = 575;  // the shell sees 575 % 256 = 63

}  // namespace

int main()
{
    // GLUT gets our name alone, so no option from the command line is ever parsed.
    char name[] = "knotwerry";
    char* glutArgs[] = {name, nullptr};
    int glutArgCount = 1;
    glutInit(&glutArgCount, glutArgs);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(windowX, windowY);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow(windowTitle);
    fixWindowFrame(windowX, windowY, windowWidth, windowHeight);

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
