// The program on Windows: WinMain, the window's frame (the system menu and the sizing
// border taken off GLUT's window) and the exit on ESCAPE.
#include "platform/platform.h"

#include <windows.h>

namespace {

constexpr wchar_t glutWindowClass[] = L"FREEGLUT";  // the class freeglut registers
constexpr LONG keptStyle = LONG(0xFFF3FFFF);         // all but WS_SYSMENU | WS_THICKFRAME
constexpr int longestTitle = 256;

}  // namespace

// Without the system menu the caption has no close, minimise or maximise button, and
// without the thick frame the window cannot be resized; every other bit stays. Windows
// keeps the frame it measured for the old style until SetWindowPos says the frame has
// changed: until then the window and its client area stay where, and as large as, the
// sizing border made them. So the frame is measured again at once, around a client area
// of the given size; the position is GLUT's already. A window that is not found leaves
// nothing to change: the calls then act on no window and do nothing.
void fixWindowFrame(const char* title, int, int, int width, int height)
{
    wchar_t wideTitle[longestTitle] = {};
    for (int i = 0; i + 1 < longestTitle && title[i] != '\0'; ++i)
        wideTitle[i] = wchar_t(static_cast<unsigned char>(title[i]));  // the title is ASCII
    HWND window = FindWindowW(glutWindowClass, wideTitle);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, style & keptStyle);
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, DWORD(style & keptStyle), FALSE,
                       DWORD(GetWindowLongW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void quitNow()
{
    ExitProcess(0);
}

// A GUI program: no console. GLUT gets the command-line tail as its only argument, and
// with an argument count of 1 it parses none of it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int)
{
    return run(commandTail);
}
