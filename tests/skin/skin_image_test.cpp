// Pictures, pieces of pictures and regions from masks.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/skin_image.h"
#include "skin/window_shape.h"
#include "skin_test_files.h"
#include "support/test_paths.h"
#include "winui/window.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool SameRegion(HRGN a, HRGN b) {
    return EqualRgn(a, b) != FALSE;
}

TEST(BitmapToRegion, AllWhiteGivesAnEmptyRegion) {
    const base::Bitmap mask = skintest::MakeSolidBitmap(20, 10, kWhite);
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region.Get(), &box), NULLREGION);
}

TEST(BitmapToRegion, NoWhiteGivesTheWholeRectangle) {
    const base::Bitmap mask = skintest::MakeSolidBitmap(20, 10, RGB(10, 200, 30));
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    ASSERT_TRUE(region);
    const base::Region whole(CreateRectRgn(0, 0, 20, 10));
    EXPECT_TRUE(SameRegion(region.Get(), whole.Get()));
}

TEST(BitmapToRegion, OnlyPureWhiteIsCutAway) {
    // white, almost white, white, (255,255,239) which is outside the tolerance's low end
    const COLORREF row[] = {kWhite, RGB(250, 255, 255), kWhite, RGB(255, 255, 239)};
    const base::Bitmap mask = skintest::MakeBitmap(4, 1, [&](int x, int) { return row[x]; });
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    ASSERT_TRUE(region);
    base::Region expected(CreateRectRgn(1, 0, 2, 1));
    const base::Region last(CreateRectRgn(3, 0, 4, 1));
    CombineRgn(expected.Get(), expected.Get(), last.Get(), RGN_OR);
    EXPECT_TRUE(SameRegion(region.Get(), expected.Get()));
}

TEST(BitmapToRegion, ToleranceRangeAboveTheKey) {
    const COLORREF row[] = {RGB(0x80, 0x80, 0x80), RGB(0x90, 0x90, 0x90), RGB(0x91, 0x90, 0x90),
                            RGB(0x7F, 0x80, 0x80)};
    const base::Bitmap mask = skintest::MakeBitmap(4, 1, [&](int x, int) { return row[x]; });
    const base::Region region = BitmapToRegion(mask.Get(), RGB(0x80, 0x80, 0x80), 0x00101010);
    base::Region expected(CreateRectRgn(2, 0, 4, 1));
    EXPECT_TRUE(SameRegion(region.Get(), expected.Get()));
}

TEST(BitmapToRegion, ManyRunsInBatchesEqualOneStepRegion) {
    // A chequered mask: 60 x 100 gives 3000 one-pixel runs, more than one batch of 2000.
    const int width = 60, height = 100;
    const auto opaque = [](int x, int y) { return (x + y) % 2 == 0; };
    const base::Bitmap mask =
        skintest::MakeBitmap(width, height, [&](int x, int y) { return opaque(x, y) ? kBlack : kWhite; });
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    ASSERT_TRUE(region);

    std::vector<char> buffer(sizeof(RGNDATAHEADER) + sizeof(RECT) * width * height / 2);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = 0;
    data->rdh.rcBound = RECT{0, 0, width, height};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (opaque(x, y)) {
                rects[data->rdh.nCount++] = RECT{x, y, x + 1, y + 1};
            }
        }
    }
    const base::Region oneStep(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
    ASSERT_TRUE(oneStep);
    EXPECT_TRUE(SameRegion(region.Get(), oneStep.Get()));
    EXPECT_TRUE(PtInRegion(region.Get(), 59, 98) == FALSE);
    EXPECT_TRUE(PtInRegion(region.Get(), 58, 98) != FALSE);
}

TEST(BitmapToRegion, NullBitmapGivesNoRegion) {
    EXPECT_FALSE(BitmapToRegion(nullptr, kMaskKey, kMaskTolerance));
}

TEST(CropBitmap, PiecePastTheEdgesHasTheRequestedSize) {
    const base::Bitmap source =
        skintest::MakeBitmap(10, 10, [](int x, int y) { return RGB(x * 20, y * 20, 7); });
    base::Bitmap piece;
    CropBitmap(nullptr, piece, source.Get(), 5, 5, 20, 25);
    ASSERT_TRUE(piece);
    const SIZE size = BitmapSize(piece.Get());
    EXPECT_EQ(size.cx, 15);
    EXPECT_EQ(size.cy, 20);
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 0, 0), RGB(100, 100, 7));
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 4, 4), RGB(180, 180, 7));
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 5, 5), kBlack);
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 14, 19), kBlack);
}

TEST(CropBitmap, NegativeCornerAndNothingToCut) {
    const base::Bitmap source = skintest::MakeSolidBitmap(4, 4, kRed);
    base::Bitmap piece;
    CropBitmap(nullptr, piece, source.Get(), -2, -2, 2, 2);
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 0, 0), kBlack);
    EXPECT_EQ(skintest::PixelAt(piece.Get(), 3, 3), kRed);

    base::Bitmap untouched = skintest::MakeSolidBitmap(1, 1, kRed);
    const HBITMAP before = untouched.Get();
    CropBitmap(nullptr, untouched, nullptr, 0, 0, 5, 5);
    EXPECT_EQ(untouched.Get(), before);
    CropBitmap(nullptr, untouched, source.Get(), 3, 3, 3, 9);
    EXPECT_EQ(untouched.Get(), before);
}

TEST(DrawBitmap, SmallerBitmapIsNotScaled) {
    const base::Bitmap canvas = skintest::MakeSolidBitmap(10, 10, kWhite);
    const base::Bitmap small = skintest::MakeSolidBitmap(4, 4, kRed);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas.Get());
    DrawBitmap(dc, small.Get(), 2, 2, 10, 10);
    DrawBitmap(dc, nullptr, 0, 0, 10, 10);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(skintest::PixelAt(canvas.Get(), 1, 1), kWhite);
    EXPECT_EQ(skintest::PixelAt(canvas.Get(), 2, 2), kRed);
    EXPECT_EQ(skintest::PixelAt(canvas.Get(), 5, 5), kRed);
    EXPECT_EQ(skintest::PixelAt(canvas.Get(), 6, 6), kWhite);
}

TEST(LoadPicture, BitmapFileKeepsItsPixelsAfterThePictureIsGone) {
    const std::string path = skintest::FreshFolder("picture") + "\\p.bmp";
    skintest::WriteBmp(path, 7, 5, [](int x, int y) { return x == 6 && y == 4 ? kRed : RGB(0, 0, 255); });
    base::Bitmap bitmap;
    SIZE size{};
    ASSERT_TRUE(LoadPicture(path, bitmap, size));
    EXPECT_EQ(size.cx, 7);
    EXPECT_EQ(size.cy, 5);
    EXPECT_EQ(skintest::PixelAt(bitmap.Get(), 6, 4), kRed);
    EXPECT_EQ(skintest::PixelAt(bitmap.Get(), 0, 0), RGB(0, 0, 255));
}

TEST(LoadPicture, GifFileLoads) {
    const std::string path = skintest::FreshFolder("picture") + "\\p.gif";
    skintest::WriteGif(path, 3, 2, {RGB(0, 128, 0)}, 10);
    base::Bitmap bitmap;
    SIZE size{};
    ASSERT_TRUE(LoadPicture(path, bitmap, size));
    EXPECT_EQ(size.cx, 3);
    EXPECT_EQ(skintest::PixelAt(bitmap.Get(), 2, 1), RGB(0, 128, 0));
}

TEST(LoadPicture, MissingEmptyOrBrokenFilesLeaveNothing) {
    const std::string folder = skintest::FreshFolder("picture");
    skintest::WriteFile(folder + "\\empty.bmp", "");
    skintest::WriteFile(folder + "\\junk.bmp", "BM this is not a picture at all");
    for (const std::string name : {"missing.bmp", "empty.bmp", "junk.bmp"}) {
        base::Bitmap bitmap = skintest::MakeSolidBitmap(2, 2, kRed);
        SIZE size{9, 9};
        EXPECT_FALSE(LoadPicture(folder + "\\" + name, bitmap, size)) << name;
        EXPECT_FALSE(bitmap) << name;
        EXPECT_EQ(size.cx, 0);
        EXPECT_EQ(size.cy, 0);
    }
}

TEST(LoadPicture, LoadedMaskKeepsNearWhiteExact) {
    const std::string path = skintest::FreshFolder("picture") + "\\mask.bmp";
    skintest::WriteBmp(path, 3, 2, [](int x, int) { return x == 1 ? RGB(250, 255, 255) : kWhite; });
    base::Bitmap mask;
    SIZE size{};
    ASSERT_TRUE(LoadPicture(path, mask, size));
    const base::Region region = BitmapToRegion(mask.Get(), kMaskKey, kMaskTolerance);
    const base::Region expected(CreateRectRgn(1, 0, 2, 2));
    EXPECT_TRUE(SameRegion(region.Get(), expected.Get()));
}

class ShapeHost : public winui::Window {};

TEST(SetWindowShape, CutsTheWindowOrReports) {
    ShapeHost host;
    ASSERT_TRUE(host.CreateCustom(0, "shape", WS_POPUP, RECT{0, 0, 20, 10}, nullptr, 0));
    skintest::RecordingBoxes boxes;

    const base::Bitmap mask =
        skintest::MakeBitmap(20, 10, [](int x, int) { return x < 5 ? kWhite : kBlack; });
    EXPECT_TRUE(SetWindowShape(host.Hwnd(), mask.Get(), boxes));
    EXPECT_TRUE(boxes.shown.empty());
    const base::Region applied(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(host.Hwnd(), applied.Get()), ERROR);
    const base::Region expected(CreateRectRgn(5, 0, 20, 10));
    EXPECT_TRUE(SameRegion(applied.Get(), expected.Get()));

    EXPECT_FALSE(SetWindowShape(host.Hwnd(), nullptr, boxes));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Region is Null"});

    EXPECT_FALSE(SetWindowShape(nullptr, mask.Get(), boxes));
    EXPECT_EQ(boxes.shown.size(), 1u);
}

} // namespace
