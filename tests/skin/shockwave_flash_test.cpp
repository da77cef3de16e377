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
        m_folder = testsupport::MakeTempFolder("flash");
        ASSERT_TRUE(
            m_flash.Create("SHOCKWAVE", WS_CHILD | WS_VISIBLE, RECT{10, 10, 42, 42}, m_host.Hwnd(), 100));
        if (m_flash.IsFlashHosted()) {
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
        UpdateWindow(m_flash.Hwnd());
        HDC dc = GetDC(m_flash.Hwnd());
        const COLORREF colour = GetPixel(dc, 5, 5);
        ReleaseDC(m_flash.Hwnd(), dc);
        return colour;
    }

    std::string m_folder;
    Host m_host;
    CShockwaveFlash m_flash;
};

TEST_F(ShockwaveFlashTest, MissingMovieShowsNothing) {
    EXPECT_EQ(GetDlgCtrlID(m_flash.Hwnd()), 100);
    m_flash.SetMovie(m_folder + "\\bug.swf");
    m_flash.Play();
    EXPECT_EQ(m_flash.FrameCount(), 0u);
    EXPECT_TRUE(m_flash.IsWindow());
    EXPECT_FALSE(m_flash.IsVisible());
    winui::PumpWaitingMessages();
    m_flash.Stop();
}

TEST_F(ShockwaveFlashTest, SwfPathFallsBackToTheGifBesideIt) {
    skintest::WriteGif(m_folder + "\\bug.gif", 32, 32, kFrames, 7);
    m_flash.SetMovie(m_folder + "\\bug.swf");
    ASSERT_EQ(m_flash.FrameCount(), 3u);
    EXPECT_EQ(m_flash.Hwnd() && IsWindowVisible(m_flash.Hwnd()), true);
    EXPECT_EQ(Shown(), kFrames[0]);
}

TEST_F(ShockwaveFlashTest, SwfFileThatHoldsNoGif) {
    testsupport::WriteBytes(m_folder + "\\scan.SWF", "FWS\x06 not a picture");
    skintest::WriteGif(m_folder + "\\scan.gif", 16, 16, kFrames, 7);
    m_flash.SetMovie(m_folder + "\\scan.SWF");
    EXPECT_EQ(m_flash.FrameCount(), 3u);
}

TEST_F(ShockwaveFlashTest, GifAtTheMoviePathWithItsDelays) {
    skintest::WriteGif(m_folder + "\\movie.swf", 16, 16, kFrames, 7);
    m_flash.SetMovie(m_folder + "\\movie.swf");
    ASSERT_EQ(m_flash.FrameCount(), 3u);
}

TEST_F(ShockwaveFlashTest, PlayStopAndPlayAgain) {
    skintest::WriteGif(m_folder + "\\bug.gif", 32, 32, kFrames, 2);
    m_flash.SetMovie(m_folder + "\\bug.gif");
    m_flash.Play();
    EXPECT_TRUE(m_flash.IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return m_flash.CurrentFrame() != 0; }));

    m_flash.Stop();
    EXPECT_FALSE(m_flash.IsPlaying());
    const size_t stoppedAt = m_flash.CurrentFrame();
    for (int i = 0; i < 10; ++i) {
        winui::PumpWaitingMessages();
        Sleep(20);
    }
    EXPECT_EQ(m_flash.CurrentFrame(), stoppedAt);
    EXPECT_EQ(Shown(), kFrames[stoppedAt]);

    m_flash.Play();
    EXPECT_TRUE(PumpUntil([&] { return m_flash.CurrentFrame() != stoppedAt; }));
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

    testsupport::WriteBytes(folder + "\\cut.gif", "GIF89a\x10\x00");
    EXPECT_FALSE(animation.Load(folder + "\\cut.gif"));
    EXPECT_EQ(animation.FrameCount(), 0u);
    EXPECT_EQ(animation.Frame(0), nullptr);
}

} // namespace
