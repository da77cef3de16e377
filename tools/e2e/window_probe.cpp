// window-probe: lists the visible top-level windows of the Wine desktop it runs on, one a line:
//   <class>|<title>|<left>,<top>,<width>,<height>
// window-probe ping: the same lines, each followed by |<ms>, the time the window's thread took to answer a
// WM_NULL (|hung when it did not answer within 5 s): how responsive the program is while it works.
// window-probe foreground: the line of the foreground window alone (none when there is none).
// tools/e2e.sh polls it to learn when a dialog or message box is up; the program is only watched this
// way, never driven: every click and key goes through X.
#include <windows.h>

#include <cstdio>

#include <cstring>

namespace {

BOOL CALLBACK PrintWindow(HWND window, LPARAM ping) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    char className[128] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%s|%s|%ld,%ld,%ld,%ld", className, title, r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (ping) {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        QueryPerformanceCounter(&end);
        if (answered) {
            std::printf("|%lld", (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
        } else {
            std::printf("|hung");
        }
    }
    std::printf("\n");
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "foreground") == 0) {
        const HWND window = GetForegroundWindow();
        if (!window || !IsWindowVisible(window)) {
            std::printf("none\n");
            return 0;
        }
        return PrintWindow(window, 0) ? 0 : 1;
    }
    EnumWindows(PrintWindow, argc > 1 && std::strcmp(argv[1], "ping") == 0);
    return 0;
}
