// The skin's focus mark on a button of the real dialog: a frame of its colour and width when FOCUSMARK says
// so, and the dotted rectangle, never a crash, when it is missing or malformed.
#include "scan_dialog_harness.h"

#include <optional>

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255); // in no picture of the shipped skin
constexpr int kInset = 2;                       // where the button draws its mark

struct FocusCase {
    const char* colour;
    const char* width;
    std::optional<int> frame; // the frame's width; none: the dotted rectangle
};

constexpr FocusCase kCases[] = {
    {"16711935", "", 2},
    {" 16711935 ", "4", 4},
    {"magenta", "", std::nullopt},
    {"-1", "", std::nullopt},
    {"16777216", "", std::nullopt},
    {"16711935", "0", std::nullopt},
    {"16711935", "9", std::nullopt},
    {"16711935", "2px", std::nullopt},
    {"99999999999999999999", "", std::nullopt},
    {"", "3", std::nullopt},
};

class FocusMarkTest : public dialogtest::ScanDialogTest {};

TEST_F(FocusMarkTest, TheSkinsFrameOrTheDottedRectangle) {
    testsupport::MemoryRegistry registry;
    for (const FocusCase& c : kCases) {
        SCOPED_TRACE(std::string(c.colour) + " / " + c.width);
        WritePrivateProfileStringA("FOCUSMARK", "COLOUR", c.colour, skinPath.c_str());
        WritePrivateProfileStringA("FOCUSMARK", "WIDTH", c.width, skinPath.c_str());
        dialogtest::DialogRun run(Options(registry), skinPath);
        ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
        const HWND button = run.Dialog().FindButton("BUTTON_OK")->Hwnd();
        SendMessageA(run.Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
        SendMessageA(run.Window(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        run.Sync();
        const HDC dc = GetDC(button);
        RECT client{};
        GetClientRect(button, &client);
        const int x = client.right / 2;
        const int width = c.frame.value_or(0);
        EXPECT_EQ(GetPixel(dc, x, kInset) == kMagenta, c.frame.has_value());
        EXPECT_EQ(GetPixel(dc, x, kInset + std::max(width - 1, 0)) == kMagenta, c.frame.has_value());
        EXPECT_NE(GetPixel(dc, x, kInset + width), kMagenta);
        ReleaseDC(button, dc);
    }
}

} // namespace
