// The program in a web page, built with Emscripten: main, a window frame that a page
// does not have, the end on ESCAPE, and where Emscripten's GLUT and GLEW differ from
// freeglut and GLEW on the desktop.
//
// Emscripten's GLUT calls the program's callbacks straight from its page listeners, so
// an exit thrown there would escape to the page as an uncaught error, and later events
// would still reach the program. adaptGlut() runs before glutInit registers those
// listeners and makes each one run the way Emscripten runs its other callbacks
// (callUserCallback): the end of the program stops it quietly, and after the end no
// event reaches the program. It also makes DELETE reach the keyboard callback as 127,
// as freeglut reports it on X11, where Emscripten's GLUT reports it as special key 111;
// the keyboard callback turns the picture then, repeats included, and the special-key
// callback never sees it. And a wheel notch counts only over the canvas, as it does
// only over the window on the desktop; GLUT takes them from the whole page, where the
// browser lets it neither stop the page scrolling nor say so quietly.
#include "app/platform.h"

#include <GL/glew.h>
#include <emscripten.h>
#include <emscripten/html5.h>

namespace {

// The page learns how the program ended through Module.onExit, which
// emscripten_force_exit calls with the status before it stops the program.
[[noreturn]] void endWith(int status)
{
    emscripten_force_exit(status);
}

// The browser's key code 46 is DELETE, 127 what freeglut reports for it.
EM_JS(void, adaptGlut, (), {
    var specialKey = GLUT.getSpecialKey, asciiKey = GLUT.getASCIIKey;
    GLUT.getSpecialKey = function(keyCode) { return keyCode == 46 ? null : specialKey(keyCode); };
    GLUT.getASCIIKey = function(event) { return event['keyCode'] == 46 ? 127 : asciiKey(event); };

    ['onKeydown', 'onKeyup', 'onMousemove', 'onMouseButtonDown', 'onMouseButtonUp'].forEach(
        function(name) {
            var handler = GLUT[name];
            GLUT[name] = function(event) { callUserCallback(function() { handler(event); }); };
        });

    // GLUT would listen for the wheel on the whole window, where the browser lets no
    // listener stop the page from scrolling; the canvas's own listener can.
    var wheel = GLUT.onMouseWheel;
    GLUT.onMouseWheel = function() {};
    Module['canvas'].addEventListener('wheel', function(event) {
        callUserCallback(function() { wheel(event); });
    }, {passive: false});
});

}  // namespace

// Emscripten's glewInit accepts anything, even a page that gave no WebGL context; this
// one refuses then, as GLEW does on the desktop without a GL context, so that start-up
// ends with its failure status instead of failing in the first GL call.
extern "C" GLenum glewInit()
{
    return emscripten_webgl_get_current_context() != 0 ? GLEW_OK : GLEW_ERROR_NO_GL_VERSION;
}

// A canvas in a page has no frame to fix: its size is the window's, set by GLUT.
void fixWindowFrame(const char*, int, int, int, int) {}

void quitNow()
{
    endWith(0);
}

int main()
{
    adaptGlut();
    // GLUT gets our name alone, as on the desktop. run() returns only when start-up
    // failed: otherwise GLUT's main loop hands the page back to the browser, and the
    // program lives on in its callbacks until ESCAPE.
    char name[] = "knotwerry";
    endWith(run(name));
}
