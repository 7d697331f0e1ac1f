// probe: what Windows says about knotwerry, for the tests that run it under Wine.
//
//   probe window TITLE SECONDS   waits up to SECONDS for a visible top-level window
//                                titled TITLE, then prints its class, style, frame,
//                                client size and the client's screen origin
//   probe resources EXE          prints the sizes EXE's icon holds, in its order, and
//                                its version strings
//
// Each fact is one line "name value"; the status is 0 when all were read.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

namespace {

constexpr DWORD pollMs = 10;

int probeWindow(const wchar_t* title, double seconds)
{
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(seconds * 1000.0);
    HWND window = nullptr;
    while (!(window = FindWindowW(nullptr, title)) || !IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) {
            std::printf("window none\n");
            return 1;
        }
        Sleep(pollMs);
    }
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("class %ls\n", className);
    std::printf("style 0x%08lX\n", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
    std::printf("frame %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    std::printf("client %ld %ld\n", client.right - client.left, client.bottom - client.top);
    std::printf("origin %ld %ld\n", origin.x, origin.y);
    return 0;
}

BOOL CALLBACK printIcon(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR)
{
    HRSRC found = FindResourceW(module, name, type);
    const BYTE* icon = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found)))
                             : nullptr;
    if (!icon)
        return TRUE;
    // The group's directory: reserved, type, count, then 14-byte entries of which the
    // first byte is the width and the second the height, 0 for 256.
    const int count = icon[4] | icon[5] << 8;
    std::printf("icons");
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = icon + 6 + 14 * i;
        std::printf(" %dx%d", entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256);
    }
    std::printf("\n");
    return TRUE;
}

int probeResources(const wchar_t* path)
{
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("module none\n");
        return 1;
    }
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14), printIcon, 0);  // RT_GROUP_ICON
    FreeLibrary(module);

    static BYTE info[16384];
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    if (size == 0 || size > sizeof info || !GetFileVersionInfoW(path, 0, size, info)) {
        std::printf("version none\n");
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info, L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("fixed %lu.%lu.%lu.%lu\n", static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                    static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                    static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)),
                    static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    for (const wchar_t* name : {L"FileDescription", L"FileVersion", L"ProductName",
                                L"ProductVersion", L"OriginalFilename"}) {
        wchar_t query[128];
        std::swprintf(query, 128, L"\\StringFileInfo\\040904B0\\%ls", name);
        wchar_t* value = nullptr;
        if (VerQueryValueW(info, query, reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%ls %ls\n", name, value);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wcscmp(argv[1], L"window") == 0)
        return probeWindow(argv[2], std::wcstod(argv[3], nullptr));
    if (argc == 3 && std::wcscmp(argv[1], L"resources") == 0)
        return probeResources(argv[2]);
    std::fprintf(stderr, "usage: probe window TITLE SECONDS | probe resources EXE\n");
    return 2;
}
