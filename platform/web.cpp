// The program in a web page, built with Emscripten: main, a window frame that a page
// does not have, the end on ESCAPE, and the few places where Emscripten's GLUT and GLEW
// differ from freeglut and GLEW on the desktop.
//
// The end is emscripten_force_exit: it marks the program ended, so that no later frame
// is drawn, tells the page the status (Module.onExit) and throws to leave the callback.
// Emscripten catches that throw quietly around the callbacks it runs itself
// (callUserCallback), and refuses to run any after the end; but its GLUT calls the
// program straight from its page listeners, where the throw would reach the page as an
// uncaught error. So adaptGlut(), run before glutInit registers those listeners, puts
// each of them inside callUserCallback. It also hands DELETE to the keyboard callback
// as 127, as freeglut on X11 does, where Emscripten's GLUT hands it to the special-key
// callback as 111; and it takes the wheel from the canvas alone, as the desktop takes
// it from the window alone. GLUT listens for it on the whole page, where the browser
// treats the listener as passive: it cannot stop the page scrolling, and trying logs
// an error.
#include "platform/platform.h"

#include <GL/glew.h>
#include <emscripten.h>
#include <emscripten/html5.h>

namespace {

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
