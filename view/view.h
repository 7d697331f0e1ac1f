// The view: the camera that looks at the grid, and the GLUT display and reshape callbacks.
#pragma once

// Camera parameters, process-wide for the whole run; distances in table units,
// angles in degrees.
struct ViewState {
    double viewDistance;   // eye to table centre, fixed
    double viewElevation;  // fixed at -90: the table's x/z plane faces the eye
    double twist;          // turn about the window centre, +1 is 1 degree clockwise; never wrapped
    double azimuth;        // fixed
};
extern ViewState view;

void display();
void reshape(int width, int height);
