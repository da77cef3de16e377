// Windows bound to objects: binding at creation, unbinding at destruction in either order, subclassed
// controls, reflected notifications, and a handler that deletes its own object.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "winui/window.h"

namespace {

constexpr UINT kAnswer = WM_USER + 1;

class Probe : public winui::Window {
public:
    std::vector<UINT> seen;
    int finalMessages = 0;

    bool Make(HWND parent = nullptr, DWORD style = WS_POPUP) {
        return CreateCustom(0, "probe", style, RECT{0, 0, 120, 80}, parent, 0);
    }

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM, LPARAM) override {
        seen.push_back(message);
        if (message == kAnswer) {
            return 42;
        }
        return std::nullopt;
    }
    void OnFinalMessage() override { ++finalMessages; }
};

bool Saw(const Probe& probe, UINT message) {
    return std::find(probe.seen.begin(), probe.seen.end(), message) != probe.seen.end();
}

TEST(Window, BoundFromCreationOn) {
    Probe probe;
    ASSERT_TRUE(probe.Make());
    EXPECT_EQ(winui::Window::FromHandle(probe.Hwnd()), &probe);
    EXPECT_TRUE(Saw(probe, WM_NCCREATE));
    EXPECT_TRUE(Saw(probe, WM_CREATE));
    EXPECT_EQ(probe.Send(kAnswer), 42);
    // Unhandled messages get the default window procedure.
    probe.SetCaption("caption");
    EXPECT_EQ(probe.Caption(), "caption");
    EXPECT_FALSE(probe.Make()); // one window per object
}

TEST(Window, WindowDestroyedFirstLeavesAnUnboundObject) {
    Probe probe;
    ASSERT_TRUE(probe.Make());
    const HWND window = probe.Hwnd();
    DestroyWindow(window);
    EXPECT_FALSE(probe.IsWindow());
    EXPECT_EQ(probe.finalMessages, 1);
    EXPECT_TRUE(Saw(probe, WM_NCDESTROY));
    EXPECT_EQ(winui::Window::FromHandle(window), nullptr);
    probe.Invalidate();
    probe.Destroy();
    EXPECT_EQ(probe.Send(kAnswer), 0);
}

TEST(Window, ObjectDestroyedFirstTakesItsWindow) {
    auto probe = std::make_unique<Probe>();
    ASSERT_TRUE(probe->Make());
    const HWND window = probe->Hwnd();
    probe.reset();
    EXPECT_FALSE(IsWindow(window));
}

TEST(Window, FromHandleOnlyKnowsOurObjects) {
    EXPECT_EQ(winui::Window::FromHandle(nullptr), nullptr);
    EXPECT_EQ(winui::Window::FromHandle(GetDesktopWindow()), nullptr);
    const HWND plain =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(winui::Window::FromHandle(plain), nullptr);
    DestroyWindow(plain);
}

class Label : public winui::Control {
public:
    std::vector<UINT> reflected;
    bool answerReflected = true;
    std::unique_ptr<Label>* owner = nullptr; // set to let WM_USER + 3 delete this object

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_USER + 2) {
            return 7;
        }
        if (message == WM_USER + 3 && owner) {
            owner->reset(); // deletes this object in the middle of its own message
            return 9;
        }
        return std::nullopt;
    }
    std::optional<LRESULT> OnReflected(UINT message, WPARAM, LPARAM) override {
        reflected.push_back(message);
        if (!answerReflected) {
            return std::nullopt;
        }
        return message == WM_DRAWITEM ? TRUE : 0;
    }
};

TEST(Control, SubclassedControlKeepsItsOwnBehaviour) {
    Probe parent;
    ASSERT_TRUE(parent.Make());
    Label label;
    ASSERT_TRUE(label.Create("STATIC", "hello", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, parent.Hwnd(), 5));
    EXPECT_EQ(winui::Window::FromHandle(label.Hwnd()), &label);
    EXPECT_EQ(label.Caption(), "hello");
    EXPECT_EQ(label.Send(WM_USER + 2), 7);
    EXPECT_EQ(GetDlgCtrlID(label.Hwnd()), 5);

    Label second;
    EXPECT_FALSE(second.Attach(label.Hwnd())); // already bound
}

TEST(Control, AttachToAnExistingControlAndDetachOnDelete) {
    const HWND raw =
        CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        Label label;
        ASSERT_TRUE(label.Attach(raw));
        EXPECT_EQ(SendMessageA(raw, WM_USER + 2, 0, 0), 7);
    }
    EXPECT_FALSE(IsWindow(raw));
}

TEST(Control, NotificationsAreReflectedToTheSender) {
    Probe parent;
    ASSERT_TRUE(parent.Make(nullptr, WS_POPUP | WS_VISIBLE));
    Label button;
    ASSERT_TRUE(button.Create("BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 40, 20},
                              parent.Hwnd(), 3));
    InvalidateRect(button.Hwnd(), nullptr, TRUE);
    UpdateWindow(button.Hwnd());
    EXPECT_NE(std::find(button.reflected.begin(), button.reflected.end(), WM_DRAWITEM),
              button.reflected.end());
    EXPECT_FALSE(Saw(parent, WM_DRAWITEM));

    // A declined notification reaches the parent.
    button.answerReflected = false;
    parent.Send(WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(button.Hwnd()));
    EXPECT_TRUE(Saw(parent, WM_COMMAND));
    EXPECT_EQ(button.reflected.back(), static_cast<UINT>(WM_COMMAND));
}

TEST(Control, HandlerMayDeleteItsOwnObject) {
    Probe parent;
    ASSERT_TRUE(parent.Make());
    auto label = std::make_unique<Label>();
    label->owner = &label;
    ASSERT_TRUE(label->Create("STATIC", "", WS_CHILD, RECT{0, 0, 5, 5}, parent.Hwnd(), 0));
    const HWND window = label->Hwnd();
    EXPECT_EQ(SendMessageA(window, WM_USER + 3, 0, 0), 9);
    EXPECT_EQ(label, nullptr);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
