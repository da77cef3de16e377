#include "skin_test_files.h"

#include <cstdint>
#include <fstream>

#include "support/test_paths.h"

namespace skintest {
namespace {

void Put16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

std::string FreshFolder(const std::string& hint) {
    const std::string folder = testsupport::MakeTempFolder(hint);
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return folder;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}

void WriteBmp(const std::string& path, int width, int height, const PixelFn& pixel) {
    const unsigned rowBytes = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    const unsigned imageBytes = rowBytes * static_cast<unsigned>(height);
    std::string out = "BM";
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(width));
    Put32(out, static_cast<unsigned>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            row.push_back(static_cast<char>(GetBValue(c)));
            row.push_back(static_cast<char>(GetGValue(c)));
            row.push_back(static_cast<char>(GetRValue(c)));
        }
        row.resize(rowBytes, '\0');
        out += row;
    }
    WriteFile(path, out);
}

void WriteGif(const std::string& path, int width, int height, const std::vector<COLORREF>& frames,
              int delayCs) {
    // 128-entry palette and LZW minimum code size 7, so every code is one byte; a clear code every 100
    // pixels keeps the decoder's table from ever widening the codes.
    std::string out = "GIF89a";
    Put16(out, static_cast<unsigned>(width));
    Put16(out, static_cast<unsigned>(height));
    out.push_back(static_cast<char>(0xF6));
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 128; ++i) {
        const COLORREF c = i < static_cast<int>(frames.size()) ? frames[static_cast<size_t>(i)] : 0;
        out.push_back(static_cast<char>(GetRValue(c)));
        out.push_back(static_cast<char>(GetGValue(c)));
        out.push_back(static_cast<char>(GetBValue(c)));
    }
    out += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (size_t f = 0; f < frames.size(); ++f) {
        out += std::string("\x21\xF9\x04\x04", 4);
        Put16(out, static_cast<unsigned>(delayCs));
        out.push_back(0);
        out.push_back(0);
        out.push_back(0x2C);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<unsigned>(width));
        Put16(out, static_cast<unsigned>(height));
        out.push_back(0);
        out.push_back(7);
        std::string codes;
        const int pixels = width * height;
        for (int p = 0; p < pixels; ++p) {
            if (p % 100 == 0) {
                codes.push_back(static_cast<char>(128));
            }
            codes.push_back(static_cast<char>(f));
        }
        codes.push_back(static_cast<char>(129));
        for (size_t i = 0; i < codes.size(); i += 255) {
            const std::string block = codes.substr(i, 255);
            out.push_back(static_cast<char>(block.size()));
            out += block;
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    WriteFile(path, out);
}

base::Bitmap MakeBitmap(int width, int height, const PixelFn& pixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    base::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* words = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            words[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    GdiFlush();
    return bitmap;
}

COLORREF PixelAt(HBITMAP bitmap, int x, int y) {
    if (!bitmap) {
        return CLR_INVALID;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

} // namespace skintest
