#include "skin/picture_size.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

std::uint32_t Little(const unsigned char* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

std::uint32_t Big16(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 8) | p[1];
}

std::optional<SIZE> BmpSize(const unsigned char* b, std::size_t n) {
    if (n < 26) {
        return std::nullopt;
    }
    const std::uint32_t header = Little(b + 14, 4);
    if (header == 12) { // the OS/2 core header: 16-bit sides
        return SIZE{static_cast<LONG>(Little(b + 18, 2)), static_cast<LONG>(Little(b + 20, 2))};
    }
    // Negative heights are top-down pictures; the size is the same.
    const auto width = static_cast<std::int32_t>(Little(b + 18, 4));
    const auto height = static_cast<std::int32_t>(Little(b + 22, 4));
    return SIZE{std::abs(width), height == INT32_MIN ? INT32_MAX : std::abs(height)};
}

std::optional<SIZE> JpegSize(const unsigned char* b, std::size_t n) {
    std::size_t at = 2;
    while (at + 9 <= n) {
        if (b[at] != 0xFF) {
            return std::nullopt;
        }
        const unsigned char marker = b[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            return SIZE{static_cast<LONG>(Big16(b + at + 7)), static_cast<LONG>(Big16(b + at + 5))};
        }
        const bool standalone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9);
        at += standalone ? 2 : 2 + Big16(b + at + 2);
    }
    return std::nullopt;
}

} // namespace

std::optional<SIZE> DeclaredPictureSize(const unsigned char* bytes, std::size_t count) {
    if (!bytes) {
        return std::nullopt;
    }
    if (count >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return BmpSize(bytes, count);
    }
    if (count >= 10 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0)) {
        return SIZE{static_cast<LONG>(Little(bytes + 6, 2)), static_cast<LONG>(Little(bytes + 8, 2))};
    }
    if (count >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        return JpegSize(bytes, count);
    }
    return std::nullopt;
}

std::string PictureSizeProblem(const std::string& path, SIZE size, SIZE screen) {
    const LONG maxWidth = screen.cx > 0 && screen.cx < kMaxSkinPictureSide ? screen.cx : kMaxSkinPictureSide;
    const LONG maxHeight = screen.cy > 0 && screen.cy < kMaxSkinPictureSide ? screen.cy : kMaxSkinPictureSide;
    if (size.cx <= maxWidth && size.cy <= maxHeight) {
        return {};
    }
    return "The skin picture " + path + " is " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
           " pixels; a skin picture may be at most " + std::to_string(maxWidth) + " x " +
           std::to_string(maxHeight) + " (the screen, and never more than " +
           std::to_string(kMaxSkinPictureSide) + " a side).";
}
