// User-interface threads: a loop of their own that ends with the main window, and an object that goes
// with the thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>

#include "winui/dialog.h"
#include "winui/ui_thread.h"
#include "winui/window.h"

namespace {

class PlainWindow : public winui::Window {};

struct Observed {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> deleted{false};
    std::atomic<bool> sawCurrent{false};
    std::atomic<int> exitInstances{0};
};

class WindowThread : public winui::UiThread {
public:
    WindowThread(Observed& observed, bool succeed, bool useDialog)
        : observed_(observed), succeed_(succeed), useDialog_(useDialog) {}
    ~WindowThread() override { observed_.deleted = true; }

protected:
    bool InitInstance() override {
        observed_.sawCurrent = Current() == this;
        if (!succeed_) {
            return false;
        }
        if (useDialog_) {
            dialog_ = std::make_unique<winui::Dialog>(
                winui::DialogTemplate(WS_POPUP | WS_VISIBLE, 0, 0, 0, 60, 30, ""));
            dialog_->CreateModeless(nullptr);
            SetMainWindow(dialog_->Hwnd());
        } else {
            window_.CreateCustom(0, "thread", WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr, 0);
            SetMainWindow(window_.Hwnd());
        }
        observed_.window = MainWindow();
        return true;
    }
    int ExitInstance(int loopResult) override {
        ++observed_.exitInstances;
        return loopResult + 7;
    }

private:
    Observed& observed_;
    bool succeed_;
    bool useDialog_;
    PlainWindow window_;
    std::unique_ptr<winui::Dialog> dialog_;
};

HWND WaitForWindow(const Observed& observed) {
    for (int i = 0; i < 500 && !observed.window; ++i) {
        Sleep(10);
    }
    return observed.window;
}

TEST(UiThread, EndsWhenItsMainWindowIsGone) {
    Observed observed;
    const base::KernelHandle thread =
        winui::UiThread::Start(std::make_unique<WindowThread>(observed, true, false));
    ASSERT_TRUE(thread);
    const HWND window = WaitForWindow(observed);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(observed.deleted);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(observed.deleted);
    EXPECT_TRUE(observed.sawCurrent);
    EXPECT_EQ(observed.exitInstances, 1);
    DWORD code = 0;
    GetExitCodeThread(thread.Get(), &code);
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(winui::UiThread::Current(), nullptr);
}

TEST(UiThread, ModelessDialogAsMainWindow) {
    Observed observed;
    const base::KernelHandle thread =
        winui::UiThread::Start(std::make_unique<WindowThread>(observed, true, true));
    const HWND dialog = WaitForWindow(observed);
    ASSERT_NE(dialog, nullptr);
    // Sent across threads, as a closing panel does: the dialog thread handles it and then ends.
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(observed.deleted);
}

TEST(UiThread, FailedInitInstanceEndsAtOnce) {
    Observed observed;
    const base::KernelHandle thread =
        winui::UiThread::Start(std::make_unique<WindowThread>(observed, false, false));
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(observed.deleted);
    EXPECT_EQ(observed.exitInstances, 1);
}

TEST(UiThread, NothingToStart) {
    EXPECT_FALSE(winui::UiThread::Start(nullptr));
}

} // namespace
