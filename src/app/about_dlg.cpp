#include "app/about_dlg.h"

#include <algorithm>

#include "resource.h"

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog() {
    // Centred over the owner (or the work area without one), and kept inside the work area.
    RECT box{};
    GetWindowRect(Hwnd(), &box);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    if (const HWND owner = GetWindow(Hwnd(), GW_OWNER)) {
        GetWindowRect(owner, &around);
    }
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    LONG x = (around.left + around.right - width) / 2;
    LONG y = (around.top + around.bottom - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}
