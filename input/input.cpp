// Input: ESCAPE quits at once, INSERT and DELETE turn the picture, a press flips a cross;
// everything else only asks for a redraw.
#include "input/input.h"

#include <GL/glut.h>

#include "grid/point_grid.h"
#include "platform/platform.h"
#include "view/view.h"

namespace {

constexpr unsigned char escapeKey = 27;
constexpr unsigned char deleteKey = 127;
constexpr double turnStep = 1.0;  // degrees per key event, repeats included

}  // namespace

void keyboard(unsigned char key, int, int)
{
    if (key == escapeKey)
        quitNow();  // at once: no last frame, no clean-up
    if (key == deleteKey)
        view.twist -= turnStep;
    glutPostRedisplay();
}

void special(int key, int, int)
{
    if (key == GLUT_KEY_INSERT)
        view.twist += turnStep;
    glutPostRedisplay();
}

// Any button, wheel notches included (freeglut reports those as presses of buttons 3
// and 4); releases do nothing.
void mouse(int, int state, int x, int y)
{
    if (state != GLUT_DOWN)
        return;
    flipCross(x, y);
    glutPostRedisplay();
}
