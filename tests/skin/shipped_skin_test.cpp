// The skin that ships with the program, read through the skin engine: its main screen's pictures, its mask
// and its animations load, and every button and text record of it makes a control.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/shockwave_flash.h"
#include "skin/skin_image.h"
#include "skin/skin_ini.h"
#include "skin/skin_screen.h"
#include "skin/window_shape.h"
#include "support/test_paths.h"
#include "winui/window.h"

namespace {

class ShippedSkin : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = testsupport::SourcePath("skin\\Skin.ini");
        if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no shipped skin in this tree";
        }
    }
    std::string path_;
};

class Screen : public winui::Window, public CSkinScreen {
public:
    Screen() { CreateCustom(0, "shipped", WS_POPUP, RECT{0, 0, 800, 600}, nullptr, 0); }
    ~Screen() override { Free(); }
};

TEST_F(ShippedSkin, MainScreenPicturesAndMask) {
    const CSkinIni ini(path_);
    const std::string folder = GetFolder(path_);
    const std::string main = ini.GetValue("MAINSCREENINFO", "Main", "");
    ASSERT_FALSE(main.empty());
    base::Bitmap normal, mask;
    SIZE normalSize{}, maskSize{};
    ASSERT_TRUE(LoadPicture(folder + main, normal, normalSize));
    ASSERT_TRUE(LoadPicture(folder + ini.GetValue("MAINSCREENINFO", "Mask", main), mask, maskSize));
    EXPECT_GT(maskSize.cx, 100);
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_NE(GetRgnBox(region.Get(), &box), NULLREGION);
    EXPECT_LE(box.right, maskSize.cx);
    EXPECT_LE(box.bottom, maskSize.cy);
}

TEST_F(ShippedSkin, EveryMainAndPageRecordMakesAControl) {
    const CSkinIni ini(path_);
    const std::string folder = GetFolder(path_);
    Screen main;
    main.ReadButtonInfo(main.Hwnd(), ini, "MAINSCREENBUTTONINFO");
    main.ReadTextInfo(main.Hwnd(), ini, "TEXTINFO", 'F');
    EXPECT_EQ(main.Buttons().size(), ini.GetNumberedValues("MAINSCREENBUTTONINFO").size());
    EXPECT_NE(main.FindButton("BUTTON_MAIN"), nullptr);
    EXPECT_NE(main.FindButton("BUTTON_EXIT"), nullptr);

    const std::vector<std::string> pages = ini.GetNumberedValues("SUBMAINSCREENINFO");
    ASSERT_FALSE(pages.empty());
    for (const std::string& value : pages) {
        const ScreenRecord page = ParseScreenRecord(value);
        Screen screen;
        for (const std::string& image :
             {page.normalImage, page.overImage, page.downImage, page.disabledImage}) {
            base::Bitmap bitmap;
            SIZE size{};
            EXPECT_TRUE(LoadPicture(folder + image, bitmap, size)) << image;
        }
        screen.ReadButtonInfo(screen.Hwnd(), ini, page.name + "_BUTTONINFO");
        screen.ReadTextInfo(screen.Hwnd(), ini, page.name + "_TEXTINFO", 'F');
        EXPECT_EQ(screen.Buttons().size(), ini.GetNumberedValues(page.name + "_BUTTONINFO").size())
            << page.name;
        for (const auto& button : screen.Buttons()) {
            const RECT rc = button->ClientRect();
            EXPECT_GT(rc.right, 0) << button->Name();
            EXPECT_GT(rc.bottom, 0) << button->Name();
        }
    }
}

TEST_F(ShippedSkin, AnimationsPlayFromTheSwfNames) {
    const std::string folder = GetFolder(path_);
    Screen host;
    for (const char* movie : {"bug.swf", "scan.swf"}) {
        CShockwaveFlash flash;
        ASSERT_TRUE(flash.Create("SHOCKWAVE", WS_CHILD | WS_VISIBLE, RECT{0, 0, 160, 128}, host.Hwnd(), 100));
        if (flash.IsFlashHosted()) {
            GTEST_SKIP() << "a real Flash control is registered here";
        }
        flash.SetMovie(folder + movie);
        EXPECT_GT(flash.FrameCount(), 1u) << movie;
    }
}

} // namespace
