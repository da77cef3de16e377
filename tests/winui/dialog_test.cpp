// Dialogs on in-memory templates, modal and modeless, and the dialog manager's answer rules.
#include <gtest/gtest.h>

#include <windows.h>

#include "winui/dialog.h"
#include "winui/message_loop.h"

namespace {

constexpr UINT kEnd = WM_USER + 5;
constexpr UINT kValue = WM_USER + 7;

winui::DialogTemplate SmallTemplate(DWORD style = WS_POPUP | WS_VISIBLE) {
    return winui::DialogTemplate(style, 0, 10, 10, 80, 40, "Test dialog");
}

class ProbeDialog : public winui::Dialog {
public:
    explicit ProbeDialog(winui::DialogTemplate templ = SmallTemplate()) : Dialog(std::move(templ)) {}
    bool fontBeforeInit = false;
    bool initialised = false;
    UINT postOnInit = 0;
    WPARAM postParam = 0;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETFONT && !initialised) {
            fontBeforeInit = true;
        }
        if (message == kEnd) {
            End(static_cast<INT_PTR>(wParam));
            return 0;
        }
        if (message == kValue) {
            return 1234;
        }
        return Dialog::OnMessage(message, wParam, lParam);
    }
    bool OnInitDialog() override {
        initialised = true;
        if (postOnInit) {
            PostMessageA(Hwnd(), postOnInit, postParam, 0);
        }
        return true;
    }
};

TEST(Dialog, ModalRunsUntilEnd) {
    ProbeDialog dialog;
    dialog.postOnInit = kEnd;
    dialog.postParam = 42;
    EXPECT_EQ(dialog.RunModal(nullptr), 42);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_TRUE(dialog.fontBeforeInit);
    EXPECT_TRUE(dialog.IsModal());
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(Dialog, ModalEscapeCancels) {
    ProbeDialog dialog;
    dialog.postOnInit = WM_COMMAND;
    dialog.postParam = IDCANCEL;
    EXPECT_EQ(dialog.RunModal(nullptr), IDCANCEL);
}

TEST(Dialog, HandledValuesGoThroughMsgResult) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_EQ(dialog.Send(kValue), 1234);
    EXPECT_EQ(winui::Window::FromHandle(dialog.Hwnd()), &dialog);
    dialog.Destroy();
}

TEST(Dialog, ModelessClosesOnOkAndEsc) {
    ProbeDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_TRUE(dialog.IsVisible());
    dialog.Send(WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(dialog.IsWindow());

    // Esc pressed in the dialog reaches it through the thread's message loop.
    ProbeDialog second;
    ASSERT_TRUE(second.CreateModeless(nullptr));
    SetForegroundWindow(second.Hwnd());
    SetFocus(second.Hwnd());
    PostMessageA(second.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    winui::PumpWaitingMessages();
    EXPECT_FALSE(second.IsWindow());
}

TEST(Dialog, MissingResourceTemplateFails) {
    winui::Dialog dialog(31999);
    EXPECT_EQ(dialog.RunModal(nullptr), -1);
    EXPECT_FALSE(dialog.CreateModeless(nullptr));
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(DialogTemplate, TitleAndFont) {
    ProbeDialog dialog(winui::DialogTemplate(WS_POPUP | WS_CAPTION, 0, 0, 0, 50, 30, "Ab\xE9"));
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_EQ(dialog.Caption(), "Ab\xE9");
    EXPECT_TRUE(dialog.fontBeforeInit);
    dialog.Destroy();
}

} // namespace
