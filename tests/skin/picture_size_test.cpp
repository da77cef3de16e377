// The size a picture declares, read before decoding, and the refusal of pictures no screen can show.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "skin/picture_size.h"
#include "skin/skin_image.h"
#include "skin_test_files.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Gif(unsigned w, unsigned h) {
    return {'G',
            'I',
            'F',
            '8',
            '9',
            'a',
            static_cast<unsigned char>(w),
            static_cast<unsigned char>(w >> 8),
            static_cast<unsigned char>(h),
            static_cast<unsigned char>(h >> 8),
            0,
            0,
            0};
}

Bytes Bmp(std::uint32_t header, std::int32_t w, std::int32_t h) {
    Bytes b(30, 0);
    b[0] = 'B';
    b[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        b[14 + i] = static_cast<unsigned char>(header >> (8 * i));
        b[18 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(w) >> (8 * i));
        if (header != 12) {
            b[22 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(h) >> (8 * i));
        }
    }
    if (header == 12) {
        b[20] = static_cast<unsigned char>(h);
        b[21] = static_cast<unsigned char>(h >> 8);
    }
    return b;
}

// SOI, an APP0 segment of 16 bytes, then a baseline frame header of 300 x 200.
const Bytes kJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16,   'J',  'F', 'I', 'F', 0, 1,   1, 0,  0,
                     1,    0,    1,    0,    0, 0xFF, 0xC0, 0,   17,  8,   0, 200, 1, 44, 3};

} // namespace

TEST(PictureSize, DeclaredSizeFromTheHeader) {
    const struct {
        const char* what;
        Bytes bytes;
        LONG width; // -1: nothing declared
        LONG height;
    } cases[] = {
        {"gif", Gif(720, 470), 720, 470},
        {"huge gif", Gif(20000, 20000), 20000, 20000},
        {"bmp", Bmp(40, 640, 480), 640, 480},
        {"top-down bmp", Bmp(40, 640, -480), 640, 480},
        {"core bmp", Bmp(12, 300, 260), 300, 260},
        {"jpeg", kJpeg, 300, 200},
        {"jpeg cut before its frame", Bytes(kJpeg.begin(), kJpeg.begin() + 22), -1, -1},
        {"truncated gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 1}, -1, -1},
        {"png", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13}, -1, -1},
        {"empty", Bytes{}, -1, -1},
    };
    for (const auto& c : cases) {
        const auto size = DeclaredPictureSize(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(size.has_value(), c.width >= 0) << c.what;
        if (size) {
            EXPECT_EQ(size->cx, c.width) << c.what;
            EXPECT_EQ(size->cy, c.height) << c.what;
        }
    }
    EXPECT_FALSE(DeclaredPictureSize(nullptr, 10));
}

TEST(PictureSize, LimitIsTheScreenAndAFewThousandPixels) {
    const SIZE screen{1920, 1080};
    const SIZE wall{8000, 6000};
    EXPECT_EQ(PictureSizeProblem("a.gif", {720, 470}, screen), "");
    EXPECT_EQ(PictureSizeProblem("a.gif", {1920, 1080}, screen), "");
    EXPECT_NE(PictureSizeProblem("a.gif", {1921, 10}, screen), "");
    EXPECT_NE(PictureSizeProblem("a.gif", {10, 1081}, screen), "");
    EXPECT_EQ(PictureSizeProblem("a.gif", {4096, 4096}, wall), "");
    EXPECT_EQ(
        PictureSizeProblem("C:\\s\\a.gif", {5000, 10}, wall),
        "The skin picture C:\\s\\a.gif is 5000 x 10 pixels; a skin picture may be at most 4096 x 4096 (the "
        "screen, and never more than 4096 a side).");
}

// A picture declaring 20000 x 20000 is refused from its header, before gigabytes are decoded.
TEST(PictureSize, HugePictureRefusedByLoadPicture) {
    const std::string folder = testsupport::MakeTempFolder("hugepicture");
    const Bytes huge = Gif(20000, 20000);
    testsupport::WriteBytes(folder + "\\huge.gif", std::string(huge.begin(), huge.end()));
    skintest::WriteSolidBmp(folder + "\\small.bmp", 40, 30, RGB(1, 2, 3));
    base::Bitmap bitmap;
    SIZE size{};
    std::string refusal;
    EXPECT_FALSE(LoadPicture(folder + "\\huge.gif", bitmap, size, &refusal));
    EXPECT_FALSE(bitmap);
    EXPECT_NE(refusal.find("huge.gif is 20000 x 20000 pixels"), std::string::npos) << refusal;
    refusal.clear();
    EXPECT_TRUE(LoadPicture(folder + "\\small.bmp", bitmap, size, &refusal));
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(refusal, "");
}
