#pragma once
// A dialog that is a skinned screen: the base of the main window and of the scan dialog. A click on one of
// its buttons becomes a call of ButtonPressed with the button's name. By default it paints the screen's
// normal picture and lets its controls paint over it.
#include <windows.h>

#include "skin/skin_screen.h"
#include "winui/dialog.h"

class CSkinDialog : public winui::Dialog, public CSkinScreen {
public:
    using winui::Dialog::Dialog;
    // The controls go first (CSkinScreen is the later base), then the dialog window.
    ~CSkinDialog() override = default;

    // Windows of both bases are reached through the dialog; the screen's SetText is the one meant here.
    using CSkinScreen::SetText;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_PAINT: the normal picture over the client area, then every button and text invalidated.
    virtual void OnPaint();
};
