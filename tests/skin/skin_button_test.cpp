// Skinned buttons and texts on a real window: pictures per state, the mouse rules, clicks by name, and the
// screen's name lookups. Mouse input is sent as real mouse messages to the button's window.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "skin/skin_ini.h"
#include "skin/skin_screen.h"
#include "skin_test_files.h"
#include "support/test_paths.h"
#include "winui/message_loop.h"
#include "winui/window.h"

namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kOver = RGB(0, 200, 0);
constexpr COLORREF kDown = RGB(0, 0, 200);
constexpr COLORREF kDisabled = RGB(90, 90, 90);

// A top-level window that is a skinned screen and records what its buttons report.
class TestScreen : public winui::Window, public CSkinScreen {
public:
    TestScreen() {
        // Real mouse moves must not reach the buttons unless a test makes them: keep the cursor away.
        SetCursorPos(1000, 740);
        CreateCustom(0, "screen", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{100, 100, 400, 300}, nullptr,
                     0);
        SetForegroundWindow(Hwnd());
        SetActiveWindow(Hwnd());
        winui::PumpWaitingMessages();
    }
    ~TestScreen() override { Free(); }

    void ButtonPressed(const std::string& name) override {
        pressed.push_back(name);
        if (freeOnClick) {
            Free();
        }
    }

    void LoadAllImages(bool withStates = true) {
        const std::string folder = testsupport::MakeTempFolder("screen");
        const std::pair<Image, COLORREF> images[] = {{Image::Normal, kNormal},
                                                     {Image::Over, kOver},
                                                     {Image::Down, kDown},
                                                     {Image::Disabled, kDisabled}};
        for (const auto& [which, colour] : images) {
            if (which != Image::Normal && !withStates) {
                continue;
            }
            const std::string path = folder + "\\" + std::to_string(static_cast<int>(which)) + ".bmp";
            skintest::WriteSolidBmp(path, 300, 200, colour);
            LoadImage(which, path);
        }
    }

    std::vector<std::string> pressed;
    int commands = 0;
    bool freeOnClick = false;

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_COMMAND) {
            ++commands;
        }
        return std::nullopt;
    }
};

LPARAM Point(int x, int y) {
    return MAKELPARAM(x, y);
}

void Click(HWND button, int x, int y, int releaseX, int releaseY) {
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    SendMessageA(button, WM_LBUTTONUP, 0, Point(releaseX, releaseY));
    winui::PumpWaitingMessages();
}

COLORREF ImageColour(const CSkinButton& button, UINT state) {
    return skintest::PixelAt(button.ImageFor(state), 2, 2);
}

// The colour the button shows on screen after it has drawn itself.
COLORREF ShownColour(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, 3, 3);
    ReleaseDC(window, dc);
    return colour;
}

TEST(SkinButton, PicturePerState) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(ImageColour(*button, 0), kNormal);
    EXPECT_EQ(ImageColour(*button, ODS_SELECTED), kDown);
    EXPECT_EQ(ImageColour(*button, ODS_DISABLED), kDisabled);
    EXPECT_EQ(ImageColour(*button, ODS_SELECTED | ODS_DISABLED), kDown);
    // The owner-drawn button really draws through the reflected WM_DRAWITEM.
    EXPECT_EQ(ShownColour(button->Hwnd()), kNormal);
    screen.EnableButton("BUTTON_A", false);
    EXPECT_EQ(ShownColour(button->Hwnd()), kDisabled);
}

TEST(SkinButton, FixedButtonAlwaysShowsNormal) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_F, 10, 10, 50, 30, T"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->IsFixed());
    for (UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_DISABLED}}) {
        EXPECT_EQ(ImageColour(*button, state), kNormal) << state;
    }
}

TEST(SkinButton, MissingStatePicturesFallBackToNormalOrNothing) {
    TestScreen screen;
    screen.LoadAllImages(false);
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("B, 0, 0, 10, 10"));
    EXPECT_EQ(ImageColour(*button, ODS_SELECTED), kNormal);
    EXPECT_EQ(ImageColour(*button, ODS_DISABLED), kNormal);

    TestScreen bare;
    CSkinButton* empty = bare.AddButton(bare.Hwnd(), ParseButtonRecord("B, 0, 0, 10, 10"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->ImageFor(0), nullptr);
    ShownColour(empty->Hwnd()); // draws nothing, and does not fail
}

TEST(SkinButton, ClickInsideIsReportedByNameWithoutCommand) {
    TestScreen screen;
    screen.LoadAllImages();
    screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_OTHER, 100, 10, 50, 30"));
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    EXPECT_EQ(button->Index(), 1);
    Click(button->Hwnd(), 5, 5, 20, 20);
    EXPECT_EQ(screen.pressed, std::vector<std::string>{"BUTTON_A"});
    EXPECT_EQ(screen.commands, 0);
    // The press is over: no capture kept, no pushed look.
    EXPECT_NE(GetCapture(), button->Hwnd());
    EXPECT_EQ(SendMessageA(button->Hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
}

TEST(SkinButton, ReleaseOutsideIsNotReported) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    Click(button->Hwnd(), 5, 5, 120, 5);
    Click(button->Hwnd(), 5, 5, 5, -3);
    EXPECT_TRUE(screen.pressed.empty());
    EXPECT_EQ(screen.commands, 0);
    ReleaseCapture();
}

TEST(SkinButton, DraggedOntoWithTheButtonHeldIsNotLit) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    SendMessageA(button->Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, Point(5, 5));
    EXPECT_FALSE(button->IsHovered());
    EXPECT_NE(GetCapture(), button->Hwnd());
    EXPECT_EQ(ImageColour(*button, 0), kNormal);
}

TEST(SkinButton, HoverLightsAndLeaving) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    ASSERT_NE(GetActiveWindow(), nullptr) << "the test window must be active for hover";
    SendMessageA(button->Hwnd(), WM_MOUSEMOVE, 0, Point(5, 5));
    EXPECT_TRUE(button->IsHovered());
    EXPECT_EQ(GetCapture(), button->Hwnd());
    EXPECT_EQ(ImageColour(*button, 0), kOver);
    EXPECT_EQ(ShownColour(button->Hwnd()), kOver);

    // Still over the button: nothing changes.
    SendMessageA(button->Hwnd(), WM_MOUSEMOVE, 0, Point(6, 6));
    EXPECT_TRUE(button->IsHovered());

    // Onto the screen's background (button-relative 100,100 is inside the 300 x 200 screen).
    SendMessageA(button->Hwnd(), WM_MOUSEMOVE, 0, Point(100, 100));
    EXPECT_FALSE(button->IsHovered());
    EXPECT_NE(GetCapture(), button->Hwnd());
}

TEST(SkinButton, FocusLossUnlights) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    SendMessageA(button->Hwnd(), WM_MOUSEMOVE, 0, Point(5, 5));
    SendMessageA(button->Hwnd(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(button->IsHovered());
    ReleaseCapture();
}

TEST(SkinScreen, TwoButtonsOfOneName) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* first = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_X, 10, 10, 50, 30"));
    CSkinButton* second = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_X, 100, 10, 50, 30"));
    screen.EnableButton("BUTTON_X", false);
    EXPECT_FALSE(first->IsEnabled());
    EXPECT_TRUE(second->IsEnabled());
    screen.ShowButton("BUTTON_X", true);
    EXPECT_FALSE(first->IsVisible());
    EXPECT_TRUE(second->IsVisible());
    screen.ShowButton("BUTTON_X", false);
    EXPECT_TRUE(first->IsVisible());
    Click(second->Hwnd(), 5, 5, 5, 5);
    EXPECT_EQ(screen.pressed, std::vector<std::string>{"BUTTON_X"});
    EXPECT_EQ(screen.FindButton("BUTTON_X"), first);
}

TEST(SkinScreen, NamesAreExact) {
    TestScreen screen;
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    screen.EnableButton("button_a", false);
    screen.EnableButton("BUTTON_A ", false);
    EXPECT_TRUE(button->IsEnabled());
    screen.EnableAllButtons(false);
    EXPECT_FALSE(button->IsEnabled());
    screen.EnableAllButtons(true);
    EXPECT_TRUE(button->IsEnabled());
}

TEST(SkinScreen, FreeOnEmptyAndOnBuiltScreen) {
    TestScreen screen;
    screen.Free();
    EXPECT_TRUE(screen.Buttons().empty());
    EXPECT_EQ(screen.TextCount(), 0u);
    screen.SetText("TEXT_A", "x");
    screen.EnableButton("BUTTON_A", false);

    screen.LoadAllImages();
    const HWND button =
        screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"))->Hwnd();
    const HWND text =
        screen.AddText(screen.Hwnd(), ParseTextRecord("TEXT_A, Arial, F, F, 12, 0, 0, 50, 80, 20, a", 'F'))
            ->Hwnd();
    screen.Free();
    EXPECT_TRUE(screen.Buttons().empty());
    EXPECT_EQ(screen.TextCount(), 0u);
    EXPECT_EQ(screen.FindButton("BUTTON_A"), nullptr);
    EXPECT_EQ(screen.FindText("TEXT_A"), nullptr);
    EXPECT_EQ(screen.GetImage(CSkinScreen::Image::Normal), nullptr);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_FALSE(IsWindow(text));
}

TEST(SkinScreen, ClickThatFreesTheScreen) {
    TestScreen screen;
    screen.LoadAllImages();
    screen.freeOnClick = true;
    const HWND button =
        screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"))->Hwnd();
    Click(button, 5, 5, 5, 5);
    EXPECT_EQ(screen.pressed, std::vector<std::string>{"BUTTON_A"});
    EXPECT_TRUE(screen.Buttons().empty());
    EXPECT_FALSE(IsWindow(button));
}

TEST(SkinScreen, ChildWindowsDestroyedBeforeTheirObjects) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinButton* button = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_A, 10, 10, 50, 30"));
    screen.Destroy();
    EXPECT_FALSE(button->IsWindow());
    screen.EnableButton("BUTTON_A", false); // an object without a window does nothing
    screen.Free();
}

TEST(SkinScreen, ReadsNumberedSections) {
    const std::string ini = testsupport::MakeTempFolder("sections") + "\\Skin.ini";
    testsupport::WriteBytes(ini,
                            "[B_BUTTONINFO]\n1=BUTTON_ONE, 0, 0, 20, 20\n2=BUTTON_TWO, 30, 0, 20, 20, T\n"
                            "4=BUTTON_FOUR, 60, 0, 20, 20\n"
                            "[B_TEXTINFO]\nA=TEXT_A, Arial, T, F, 12, 255, 0, 40, 80, 20, never\n"
                            "1=TEXT_ONE, Arial, T, F, -14, 255, 0, 40, 80, 20, Hello, more\n");
    TestScreen screen;
    screen.LoadAllImages();
    const CSkinIni reader(ini);
    screen.ReadButtonInfo(screen.Hwnd(), reader, "B_BUTTONINFO");
    screen.ReadTextInfo(screen.Hwnd(), reader, "B_TEXTINFO", 'F');
    ASSERT_EQ(screen.Buttons().size(), 2u);
    EXPECT_EQ(screen.Buttons()[0]->Name(), "BUTTON_ONE");
    EXPECT_EQ(screen.Buttons()[1]->Index(), 1);
    EXPECT_TRUE(screen.Buttons()[1]->IsFixed());
    ASSERT_EQ(screen.TextCount(), 1u);
    const CSkinText* text = screen.FindText("TEXT_ONE");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), "Hello");
    EXPECT_EQ(text->Colour(), RGB(255, 0, 0));
    LOGFONTA font{};
    GetObjectA(text->GetFont(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    screen.ReadButtonInfo(screen.Hwnd(), reader, "NO_SUCH_SECTION");
    EXPECT_EQ(screen.Buttons().size(), 2u);
}

TEST(SkinText, SetTextFirstOfNameFromAnotherThread) {
    TestScreen screen;
    screen.LoadAllImages();
    const auto record = ParseTextRecord("TEXT_A, Arial, F, F, 12, 0, 0, 50, 80, 20, start", 'F');
    CSkinText* first = screen.AddText(screen.Hwnd(), record);
    CSkinText* second = screen.AddText(screen.Hwnd(), record);
    // The window's thread is blocked in join: the worker must not wait for it.
    std::thread worker([&] {
        screen.SetText("TEXT_A", "progress");
        screen.SetText("TEXT_MISSING", "ignored");
    });
    worker.join();
    EXPECT_EQ(first->GetText(), "progress");
    EXPECT_EQ(second->GetText(), "start");
    winui::PumpWaitingMessages();
}

TEST(SkinText, WorkerUpdatesWhileTheScreenPaintsAndIsRebuilt) {
    TestScreen screen;
    screen.LoadAllImages();
    const auto record = ParseTextRecord("TEXT_A, Arial, F, F, 12, 0, 0, 50, 200, 20, start", 'F');
    screen.AddText(screen.Hwnd(), record);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 3000; ++i) {
            screen.SetText("TEXT_A", std::string(static_cast<size_t>(i % 97), 'x') + std::to_string(i));
        }
        done = true;
    });
    // The window's thread paints and replaces its screen meanwhile, as the scan dialog does between screens.
    for (int round = 0; !done; ++round) {
        if (round % 10 == 9) {
            screen.Free();
            screen.LoadAllImages();
            screen.AddText(screen.Hwnd(), record);
        }
        screen.InvalidateControls();
        UpdateWindow(screen.Hwnd());
        winui::PumpWaitingMessages();
    }
    worker.join();
    screen.SetText("TEXT_A", "last");
    EXPECT_EQ(screen.FindText("TEXT_A")->GetText(), "last");
}

TEST(SkinText, PaintsBackgroundPieceAndString) {
    TestScreen screen;
    screen.LoadAllImages();
    CSkinText* text = screen.AddText(
        screen.Hwnd(), ParseTextRecord("TEXT_A, Arial, T, F, -30, 16777215, 0, 50, 120, 40, ", 'F'));
    ASSERT_NE(text, nullptr);
    const auto countWhite = [&] {
        InvalidateRect(text->Hwnd(), nullptr, TRUE);
        UpdateWindow(text->Hwnd());
        HDC dc = GetDC(text->Hwnd());
        int white = 0, background = 0;
        for (int y = 0; y < 40; y += 2) {
            for (int x = 0; x < 120; x += 2) {
                const COLORREF c = GetPixel(dc, x, y);
                white += c == RGB(255, 255, 255);
                background += c == kNormal;
            }
        }
        ReleaseDC(text->Hwnd(), dc);
        return std::make_pair(white, background);
    };
    const auto [emptyWhite, emptyBackground] = countWhite();
    EXPECT_EQ(emptyWhite, 0);
    EXPECT_EQ(emptyBackground, 60 * 20);
    text->SetText("MMMM");
    const auto [white, background] = countWhite();
    EXPECT_GT(white, 0);
    EXPECT_GT(background, 0);
}

} // namespace

namespace {

// Real input: the cursor is moved over the button and the left button pressed and released through the
// system's input queue, as a user does.
class PageScreen : public TestScreen {
public:
    void ButtonPressed(const std::string& name) override {
        TestScreen::ButtonPressed(name);
        EnableAllButtons(true);
        EnableButton(name, false); // a page button stays disabled like a selected tab
    }
};

void PumpFor(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        winui::PumpWaitingMessages();
        Sleep(5);
    }
}

// The X server moves the cursor asynchronously: wait until the button has seen the mouse arrive and the
// cursor stays there before pressing.
void RealClick(const CSkinButton& button) {
    const HWND window = button.Hwnd();
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT target{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(target.x, target.y);
        PumpFor(50);
        POINT at{};
        GetCursorPos(&at);
        if (at.x == target.x && at.y == target.y && WindowFromPoint(at) == window && button.IsHovered()) {
            break;
        }
    }
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    PumpFor(150);
}

TEST(SkinButton, RealMouseClickReportsAndLeavesNothingPushed) {
    PageScreen screen;
    screen.LoadAllImages();
    CSkinButton* first = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_ONE, 10, 10, 50, 30"));
    CSkinButton* second = screen.AddButton(screen.Hwnd(), ParseButtonRecord("BUTTON_TWO, 100, 10, 50, 30"));
    RealClick(*first);
    RealClick(*second);
    EXPECT_EQ(screen.pressed, (std::vector<std::string>{"BUTTON_ONE", "BUTTON_TWO"}));
    for (const CSkinButton* button : {first, second}) {
        EXPECT_EQ(button->Send(BM_GETSTATE) & BST_PUSHED, 0) << button->Name();
    }
    EXPECT_TRUE(first->IsEnabled());
    EXPECT_FALSE(second->IsEnabled());
    SetCursorPos(0, 0);
    PumpFor(50);
}

} // namespace
