// A skinned dialog on an in-memory template: it paints its screen and turns clicks into names.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/skin_dialog.h"
#include "skin_test_files.h"
#include "support/test_paths.h"
#include "winui/message_loop.h"

namespace {

class NamedDialog : public CSkinDialog {
public:
    NamedDialog() : CSkinDialog(winui::DialogTemplate(WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 60, "")) {}
    void ButtonPressed(const std::string& name) override { pressed.push_back(name); }
    std::vector<std::string> pressed;
};

TEST(SkinDialog, PaintsItsScreenAndReportsClicksByName) {
    NamedDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    const std::string image = testsupport::MakeTempFolder("dialog") + "\\screen.bmp";
    skintest::WriteSolidBmp(image, 200, 120, RGB(10, 120, 200));
    ASSERT_TRUE(dialog.LoadImage(CSkinScreen::Image::Normal, image));
    SetWindowPos(dialog.Hwnd(), HWND_TOP, 40, 40, 200, 120, 0);
    CSkinButton* button = dialog.AddButton(dialog.Hwnd(), ParseButtonRecord("BUTTON_OK, 10, 10, 40, 20"));
    ASSERT_NE(button, nullptr);

    dialog.Invalidate(true);
    UpdateWindow(dialog.Hwnd());
    HDC dc = GetDC(dialog.Hwnd());
    EXPECT_EQ(GetPixel(dc, 100, 100), RGB(10, 120, 200));
    ReleaseDC(dialog.Hwnd(), dc);

    SendMessageA(button->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(button->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(dialog.pressed, std::vector<std::string>{"BUTTON_OK"});

    dialog.OnButtonIndex(7); // no such button: nothing
    EXPECT_EQ(dialog.pressed.size(), 1u);

    // Esc on a modeless dialog closes it; the screen's controls go with it.
    SendMessageA(dialog.Hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_FALSE(button->IsWindow());
    winui::PumpWaitingMessages();
}

} // namespace
