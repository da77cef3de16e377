#include "skin/window_shape.h"

#include "skin/skin_image.h"

bool SetWindowShape(HWND window, HBITMAP mask, base::MessageBoxes& boxes) {
    if (!window || !IsWindow(window)) {
        return false;
    }
    bool shaped = false;
    base::Region region = BitmapToRegion(mask, kMaskKey, kMaskTolerance);
    if (region) {
        if (SetWindowRgn(window, region.Get(), TRUE)) {
            region.Release(); // the window owns it now
            shaped = true;
        } else {
            boxes.Show(window, "Unable To Set Window Region", "Orvalin", MB_OK);
        }
    } else {
        boxes.Show(window, "Region is Null", "Orvalin", MB_OK);
    }
    InvalidateRect(window, nullptr, TRUE);
    return shaped;
}
