#pragma once
// The size a picture file declares, read from its header before anything is decoded, and the largest
// picture a skin may use: a huge picture would take gigabytes to decode, and a huge mask would make a
// window that covers every screen.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// The most pixels a skin picture may have on either side, whatever the screens.
inline constexpr LONG kMaxSkinPictureSide = 4096;

// Width and height declared by a BMP, GIF or JPEG header; nothing for other or truncated data.
std::optional<SIZE> DeclaredPictureSize(const unsigned char* bytes, std::size_t count);

// Why a picture of `size` is refused (wider or taller than kMaxSkinPictureSide or than `screen`, the
// virtual screen); empty when it is accepted.
std::string PictureSizeProblem(const std::string& path, SIZE size, SIZE screen);
