// bare_window [--one-point | --knot]: the start-up floor, a bare freeglut + GLEW program
// that opens a window as knotwerry does and swaps one cleared red frame, so that the same
// first-frame poll sees both; ESCAPE quits. With --one-point it also draws one point as
// knotwerry draws its grid (depth test, flat shading, 5-pixel points, a client-side array),
// which shows what the driver's first draw costs on its own. With --knot it draws the very
// points knotwerry draws, with knotwerry's own display() and reshape(), and leaves the
// window's frame to the manager: under a window manager, what knotwerry's frame costs.
#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdlib>
#include <cstring>

#include "bench/glut_window.h"
#include "grid/point_grid.h"
#include "view/view.h"

namespace {

constexpr char windowTitle[] = "Tavrosk: Bare window";
constexpr unsigned char escapeKey = 27;
constexpr int startFailed = 575;
constexpr GLfloat pointSize = 5.0f;  // pixels

bool onePoint = false;
GLfloat point[3] = {0.0f, 0.0f, 0.0f};  // the window centre, mid-depth

void drawBare()
{
    glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (onePoint) {
        glShadeModel(GL_FLAT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, point);
        glPointSize(pointSize);
        glDrawArrays(GL_POINTS, 0, 1);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glutSwapBuffers();
}

void keyboard(unsigned char key, int, int)
{
    if (key == escapeKey)
        std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv)
{
    onePoint = argc == 2 && std::strcmp(argv[1], "--one-point") == 0;
    bool knot = argc == 2 && std::strcmp(argv[1], "--knot") == 0;
    char name[] = "bare_window";
    openBenchWindow(name, windowTitle);
    if (glewInit() != GLEW_OK)
        return startFailed;
    if (knot) {
        if (!initPointGrid())
            return startFailed;
        glEnable(GL_DEPTH_TEST);
        glutDisplayFunc(display);
        glutKeyboardFunc(keyboard);
        glutReshapeFunc(reshape);
        glutReshapeWindow(benchWindowWidth, benchWindowHeight);
        glutMainLoop();
        return 0;
    }
    if (onePoint)
        glEnable(GL_DEPTH_TEST);
    glutDisplayFunc(drawBare);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
    return 0;
}
