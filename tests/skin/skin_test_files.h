#pragma once
// Helpers of the skin tests: small skin files, pictures and animations written into a test's own folder,
// in-memory bitmaps and pixel reads, and a message-box seam that records instead of showing.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/recording_boxes.h"
#include "base/unique_handle.h"

namespace skintest {

using PixelFn = std::function<COLORREF(int x, int y)>;

// A test's own empty folder. The shared temp-folder names can repeat across runs (process ids are reused),
// so whatever an earlier run left there is removed first.
std::string FreshFolder(const std::string& hint);

void WriteFile(const std::string& path, const std::string& content);
// A 24-bit BMP file.
void WriteBmp(const std::string& path, int width, int height, const PixelFn& pixel);
inline void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour) {
    WriteBmp(path, width, height, [colour](int, int) { return colour; });
}
// An animated GIF of solid-colour frames, each shown `delayCs` hundredths of a second.
void WriteGif(const std::string& path, int width, int height, const std::vector<COLORREF>& frames,
              int delayCs);

// A bitmap made in memory (a 32-bit DIB section).
base::Bitmap MakeBitmap(int width, int height, const PixelFn& pixel);
inline base::Bitmap MakeSolidBitmap(int width, int height, COLORREF colour) {
    return MakeBitmap(width, height, [colour](int, int) { return colour; });
}
// The colour of one pixel of a bitmap (CLR_INVALID outside it or for a null bitmap).
COLORREF PixelAt(HBITMAP bitmap, int x, int y);

using testsupport::RecordingBoxes;

} // namespace skintest
