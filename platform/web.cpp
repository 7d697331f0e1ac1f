// The program in a web page, built with Emscripten: main, a window frame that a page
// does not have, the end on ESCAPE, the few places where Emscripten's GLUT and GLEW
// differ from freeglut and GLEW on the desktop, and what only a page does: it says when
// a press has solved the knot.
//
// The end is emscripten_force_exit: it marks the program ended, so that no later frame
// is drawn, tells the page the status (Module.onExit) and throws to leave the callback.
// Emscripten catches that throw quietly around the callbacks it runs itself
// (callUserCallback), and refuses to run any after the end; but its GLUT calls the
// program straight from its page listeners, where the throw would reach the page as an
// uncaught error. So adaptGlut(), run before glutInit registers those listeners, puts
// each of them inside callUserCallback. It also hands DELETE to the keyboard callback
// as 127, as freeglut on X11 does, where Emscripten's GLUT hands it to the special-key
// callback as 111. And it leaves the browser what a page is expected to leave it:
// - keys: GLUT cancels the default action of every key it hands on, so that F5, Tab,
//   Space or the arrows would do nothing on the page. The program takes INSERT, DELETE
//   and ESCAPE alone; every other key still reaches it, and asks for a redraw, as on
//   the desktop, but keeps what the browser does with it.
// - the wheel: X reports a wheel notch as a button press, and the desktop program flips
//   a cross for it, but a trackpad's scroll is dozens of small wheel events, which would
//   leave the puzzle changed or not by their count. On the page the wheel scrolls.
// - the pointer: a press picks the canvas pixel under it, one canvas pixel a device
//   pixel (the page sizes the canvas so). GLUT takes the mouse event's position, which
//   browsers give in whole CSS pixels, two or three device pixels apart on a dense
//   screen; the pointer event just before it carries the fractions, where the browser
//   gives them.
#include "platform/platform.h"

#include <GL/glew.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "grid/point_grid.h"
#include "grid/table_print.h"

namespace {

// The solved knot's fingerprint, made at build time by tools/solved_print.
constexpr std::uint64_t solvedPrint =
#include "solved_print.inc"
    ;

int pressCount = 0;       // presses that reached the program since the page loaded
bool saidSolved = false;  // the page says "Solved" now

[[noreturn]] void endWith(int status)
{
    emscripten_force_exit(status);
}

// Tells the page how many presses solved the knot, or 0 when a press has undone it.
EM_JS(void, saySolved, (int presses), {
    if (Module['solved'])
        Module['solved'](presses);
});

// The browser's key codes: 46 is DELETE (127 for freeglut), 45 INSERT, 27 ESCAPE.
EM_JS(void, adaptGlut, (), {
    var specialKey = GLUT.getSpecialKey, asciiKey = GLUT.getASCIIKey;
    GLUT.getSpecialKey = function(keyCode) { return keyCode == 46 ? null : specialKey(keyCode); };
    GLUT.getASCIIKey = function(event) { return event['keyCode'] == 46 ? 127 : asciiKey(event); };

    var keydown = GLUT.onKeydown;
    GLUT.onKeydown = function(event) {
        if ([45, 46, 27].indexOf(event['keyCode']) < 0)
            event.preventDefault = function() {};
        keydown(event);
    };

    GLUT.onMouseWheel = function() {};

    var pointer = null;
    window.addEventListener('pointerdown', function(event) { pointer = event; }, true);
    Browser.calculateMouseEvent = function(event) {
        var at = event;
        if (event.type == 'mousedown' && pointer && pointer.button == event.button &&
            Math.abs(pointer.clientX - event.clientX) < 1 &&
            Math.abs(pointer.clientY - event.clientY) < 1)
            at = pointer;
        // The page shows a canvas pixel on each device pixel. A real pointer sits on a
        // device pixel's corner, which CSS pixels at a ratio of 1.5 or 3 only come near.
        var box = Module['canvas'].getBoundingClientRect(), ratio = window.devicePixelRatio;
        Browser.mouseX = Math.floor((at.clientX - box.left) * ratio + 1 / 64);
        Browser.mouseY = Math.floor((at.clientY - box.top) * ratio + 1 / 64);
    };

    var buttonDown = GLUT.onMouseButtonDown;
    GLUT.onMouseButtonDown = function(event) {
        buttonDown(event);
        if (event.target == Module['canvas'] && GLUT.mouseFunc)
            _pressMade();
    };

    ['onKeydown', 'onKeyup', 'onMousemove', 'onMouseButtonDown', 'onMouseButtonUp'].forEach(
        function(name) {
            var handler = GLUT[name];
            GLUT[name] = function(event) { callUserCallback(function() { handler(event); }); };
        });
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

// After each press that reached the program: compares the table with the solved
// knot's, and tells the page when that changes.
extern "C" EMSCRIPTEN_KEEPALIVE void pressMade()
{
    ++pressCount;
    bool solved = tablePrint(pointTable, drawnCount) == solvedPrint;
    if (solved || saidSolved)
        saySolved(solved ? pressCount : 0);
    saidSolved = solved;
}

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
