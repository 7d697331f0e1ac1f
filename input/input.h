// Input: the GLUT keyboard, special-key and mouse callbacks.
#pragma once

void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void mouse(int button, int state, int x, int y);
