// The view: every frame clears to red and draws the grid's points straight from the table.
#include "view/view.h"

#include <GL/glut.h>

#include "grid/point_grid.h"

namespace {

constexpr GLfloat pointSize = 5.0f;  // pixels
constexpr GLdouble boxHalf = 0.5;    // projection box, table units either side
constexpr GLdouble nearPlane = 1.0, farPlane = 50.0;

// Multiplies the current matrix by the camera: back off, turn, tip the table up, spin.
void applyView(double distance, double elevation)
{
    glTranslated(0.0, 0.0, -distance);
    glRotated(-view.twist, 0.0, 0.0, 1.0);
    glRotated(-elevation, 1.0, 0.0, 0.0);
    glRotated(view.azimuth, 0.0, 0.0, 1.0);
}

}  // namespace

ViewState view = {10.0, -90.0, 0.0, 0.0};

void display()
{
    glClearColor(1.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_FLAT);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    applyView(view.viewDistance, view.viewElevation);
    // No colour is ever set: the points take GL's initial colour, opaque white.
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, pointTable);
    glPointSize(pointSize);
    glDrawArrays(GL_POINTS, 0, drawnCount);
    glDisableClientState(GL_VERTEX_ARRAY);
    glutSwapBuffers();
}

// The box ignores the aspect ratio, and the matrix mode is left at projection;
// display picks the model-view matrix itself.
void reshape(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-boxHalf, boxHalf, -boxHalf, boxHalf, nearPlane, farPlane);
    glViewport(0, 0, width, height);
}
