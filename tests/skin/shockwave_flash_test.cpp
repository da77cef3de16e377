// The animation control: where no Flash control is registered (as under Wine) it plays a GIF found at the
// movie path or next to a ".swf" path, and shows nothing for a missing movie.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/shockwave_flash.h"
#include "skin_test_files.h"
#include "support/test_paths.h"
#include "winui/message_loop.h"
#include "winui/window.h"

namespace {

const std::vector<COLORREF> kFrames = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};

class Host : public winui::Window {
public:
    Host() { CreateCustom(0, "host", WS_POPUP | WS_VISIBLE, RECT{50, 50, 250, 200}, nullptr, 0); }
};

class ShockwaveFlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::MakeTempFolder("flash");
        ASSERT_TRUE(
            flash_.Create("SHOCKWAVE", WS_CHILD | WS_VISIBLE, RECT{10, 10, 42, 42}, host_.Hwnd(), 100));
        if (flash_.IsFlashHosted()) {
            GTEST_SKIP() << "a real Flash control is registered here";
        }
    }

    // Runs the thread's messages until `done` or about five seconds have passed.
    template <typename Pred> bool PumpUntil(Pred done) {
        for (int i = 0; i < 250 && !done(); ++i) {
            winui::PumpWaitingMessages();
            Sleep(20);
        }
        return done();
    }

    COLORREF Shown() {
        UpdateWindow(flash_.Hwnd());
        HDC dc = GetDC(flash_.Hwnd());
        const COLORREF colour = GetPixel(dc, 5, 5);
        ReleaseDC(flash_.Hwnd(), dc);
        return colour;
    }

    std::string folder_;
    Host host_;
    CShockwaveFlash flash_;
};

TEST_F(ShockwaveFlashTest, MissingMovieShowsNothing) {
    EXPECT_EQ(GetDlgCtrlID(flash_.Hwnd()), 100);
    flash_.SetMovie(folder_ + "\\bug.swf");
    flash_.Play();
    EXPECT_EQ(flash_.FrameCount(), 0u);
    EXPECT_TRUE(flash_.IsWindow());
    EXPECT_FALSE(flash_.IsVisible());
    winui::PumpWaitingMessages();
    flash_.Stop();
}

TEST_F(ShockwaveFlashTest, SwfPathFallsBackToTheGifBesideIt) {
    skintest::WriteGif(folder_ + "\\bug.gif", 32, 32, kFrames, 7);
    flash_.SetMovie(folder_ + "\\bug.swf");
    ASSERT_EQ(flash_.FrameCount(), 3u);
    EXPECT_EQ(flash_.Hwnd() && IsWindowVisible(flash_.Hwnd()), true);
    EXPECT_EQ(Shown(), kFrames[0]);
}

TEST_F(ShockwaveFlashTest, SwfFileThatHoldsNoGif) {
    WriteBytes(folder_ + "\\scan.SWF", "FWS\x06 not a picture");
    skintest::WriteGif(folder_ + "\\scan.gif", 16, 16, kFrames, 7);
    flash_.SetMovie(folder_ + "\\scan.SWF");
    EXPECT_EQ(flash_.FrameCount(), 3u);
}

TEST_F(ShockwaveFlashTest, GifAtTheMoviePathWithItsDelays) {
    skintest::WriteGif(folder_ + "\\movie.swf", 16, 16, kFrames, 7);
    flash_.SetMovie(folder_ + "\\movie.swf");
    ASSERT_EQ(flash_.FrameCount(), 3u);
}

TEST_F(ShockwaveFlashTest, PlayStopAndPlayAgain) {
    skintest::WriteGif(folder_ + "\\bug.gif", 32, 32, kFrames, 2);
    flash_.SetMovie(folder_ + "\\bug.gif");
    flash_.Play();
    EXPECT_TRUE(flash_.IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return flash_.CurrentFrame() != 0; }));

    flash_.Stop();
    EXPECT_FALSE(flash_.IsPlaying());
    const size_t stoppedAt = flash_.CurrentFrame();
    for (int i = 0; i < 10; ++i) {
        winui::PumpWaitingMessages();
        Sleep(20);
    }
    EXPECT_EQ(flash_.CurrentFrame(), stoppedAt);
    EXPECT_EQ(Shown(), kFrames[stoppedAt]);

    flash_.Play();
    EXPECT_TRUE(PumpUntil([&] { return flash_.CurrentFrame() != stoppedAt; }));
}

TEST(ShockwaveFlash, EmptyRectangleStillMakesTheControl) {
    Host host;
    CShockwaveFlash flash;
    ASSERT_TRUE(flash.Create("SHOCKWAVE2", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, host.Hwnd(), 1009));
    EXPECT_EQ(GetDlgCtrlID(flash.Hwnd()), 1009);
    flash.SetMovie("");
    flash.Play();
    flash.Stop();
}

TEST(GifAnimation, DelaysAndBrokenFiles) {
    const std::string folder = testsupport::MakeTempFolder("gif");
    skintest::WriteGif(folder + "\\a.gif", 8, 8, kFrames, 7);
    GifAnimation animation;
    ASSERT_TRUE(animation.Load(folder + "\\a.gif"));
    EXPECT_EQ(animation.FrameCount(), 3u);
    EXPECT_EQ(animation.DelayMs(0), 70u);
    EXPECT_EQ(skintest::PixelAt(animation.Frame(2), 1, 1), kFrames[2]);

    skintest::WriteGif(folder + "\\zero.gif", 8, 8, kFrames, 0);
    ASSERT_TRUE(animation.Load(folder + "\\zero.gif"));
    EXPECT_EQ(animation.DelayMs(1), GifAnimation::kDefaultDelayMs);

    WriteBytes(folder + "\\cut.gif", "GIF89a\x10\x00");
    EXPECT_FALSE(animation.Load(folder + "\\cut.gif"));
    EXPECT_EQ(animation.FrameCount(), 0u);
    EXPECT_EQ(animation.Frame(0), nullptr);
}

} // namespace
