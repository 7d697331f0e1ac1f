// Input: ESCAPE quits at once; every other key and every button press asks for a redraw.
#include "input/input.h"

#include <GL/glut.h>

#include <cstdlib>

namespace {

constexpr unsigned char escapeKey = 27;

}  // namespace

void keyboard(unsigned char key, int, int)
{
    if (key == escapeKey)
        std::_Exit(0);  // at once: no last frame, no clean-up
    glutPostRedisplay();
}

void special(int, int, int)
{
    glutPostRedisplay();
}

void mouse(int, int state, int, int)
{
    if (state == GLUT_DOWN)
        glutPostRedisplay();
}
