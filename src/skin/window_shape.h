#pragma once
// Shaping a window after a mask picture: pure white pixels are cut away.
#include <windows.h>

#include "base/message_box.h"

// The transparency key of masks: white, with a tolerance of 16 per component (so only 255 is within range
// once capped).
inline constexpr COLORREF kMaskKey = 0x00FFFFFF;
inline constexpr COLORREF kMaskTolerance = 0x00101010;

// Gives `window` the region of `mask` (BitmapToRegion with the key above) and repaints it. Does nothing
// without a window. Reports "Unable To Set Window Region" or "Region is Null" through `boxes` (caption
// "Orvalin", MB_OK); the window then keeps its shape. Returns true when the region was set.
bool SetWindowShape(HWND window, HBITMAP mask, base::MessageBoxes& boxes);
