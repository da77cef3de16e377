// window-probe: lists the visible top-level windows of the Wine desktop it runs on, one a line:
//   <class>|<title>|<left>,<top>,<width>,<height>
// tools/e2e.sh polls it to learn when a dialog or message box is up; the program is only watched this
// way, never driven: every click and key goes through X.
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    char className[128] = {};
    char title[256] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%s|%s|%ld,%ld,%ld,%ld\n", className, title, r.left, r.top, r.right - r.left, r.bottom - r.top);
    return TRUE;
}

} // namespace

int main() {
    EnumWindows(PrintWindow, 0);
    return 0;
}
