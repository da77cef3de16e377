#pragma once
// The messages the program's skinned windows answer: the animation of a screen, the close of a page's
// windows, and the page's scan button. WM_USER + 0x02 and WM_USER + 0x67/0x68 are taken by the tray icon
// and the scan dialog's worker.
#include <windows.h>

inline constexpr UINT WM_STOPFLASH = WM_USER + 0x0A;
inline constexpr UINT WM_PLAYFLASH = WM_USER + 0x0B;
inline constexpr UINT WM_PREPARETOCLOSE = WM_USER + 0x65;
inline constexpr UINT WM_ENABLESCANBUTTON = WM_USER + 0x66;
