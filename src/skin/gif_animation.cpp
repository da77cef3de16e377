#include "skin/gif_animation.h"

#include <algorithm>
#include <memory>

// GDI+ through its flat API: the C++ wrapper classes are not needed for reading frames.
#include <objidl.h>
#include <gdiplus.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr PROPID kFrameDelayTag = 0x5100; // PropertyTagFrameDelay: one LONG per frame, 1/100 s

std::wstring Widen(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

struct ImageDeleter {
    void operator()(GpImage* image) const { GdipDisposeImage(image); }
};

// The frame delays of the image, in 1/100 s; empty when it has none.
std::vector<LONG> FrameDelays(GpImage* image) {
    UINT size = 0;
    if (GdipGetPropertyItemSize(image, kFrameDelayTag, &size) != Ok || size < sizeof(PropertyItem)) {
        return {};
    }
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
    if (GdipGetPropertyItem(image, kFrameDelayTag, size, item) != Ok || !item->value) {
        return {};
    }
    const size_t count = item->length / sizeof(LONG);
    const auto* values = static_cast<const LONG*>(item->value);
    return std::vector<LONG>(values, values + count);
}

} // namespace

GifAnimation::GifAnimation() {
    GdiplusStartupInput input;
    if (GdiplusStartup(&gdiplusToken_, &input, nullptr) != Ok) {
        gdiplusToken_ = 0;
    }
}

GifAnimation::~GifAnimation() {
    frames_.clear();
    if (gdiplusToken_) {
        GdiplusShutdown(gdiplusToken_);
    }
}

void GifAnimation::Clear() {
    frames_.clear();
}

bool GifAnimation::Load(const std::string& path) {
    Clear();
    if (!gdiplusToken_ || path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const std::wstring widePath = Widen(path);
    GpBitmap* raw = nullptr;
    if (widePath.empty() || GdipCreateBitmapFromFile(widePath.c_str(), &raw) != Ok || !raw) {
        return false;
    }
    std::unique_ptr<GpImage, ImageDeleter> image(raw);

    UINT dimensions = 0;
    GdipImageGetFrameDimensionsCount(image.get(), &dimensions);
    GUID dimension = FrameDimensionTime;
    if (dimensions > 0) {
        std::vector<GUID> ids(dimensions);
        if (GdipImageGetFrameDimensionsList(image.get(), ids.data(), dimensions) == Ok) {
            dimension = ids.front();
        }
    }
    UINT count = 0;
    if (GdipImageGetFrameCount(image.get(), &dimension, &count) != Ok || count == 0) {
        count = 1;
    }
    count = std::min(count, kMaxFrames);
    const std::vector<LONG> delays = FrameDelays(image.get());

    std::vector<FrameData> frames;
    for (UINT i = 0; i < count; ++i) {
        if (count > 1 && GdipImageSelectActiveFrame(image.get(), &dimension, i) != Ok) {
            break;
        }
        HBITMAP bitmap = nullptr;
        // Transparent pixels come out white.
        if (GdipCreateHBITMAPFromBitmap(raw, &bitmap, 0xFFFFFFFF) != Ok || !bitmap) {
            break;
        }
        UINT delay = kDefaultDelayMs;
        if (i < delays.size() && delays[i] > 0) {
            delay = static_cast<UINT>(std::min<LONG>(delays[i], 60000)) * 10;
        }
        frames.push_back(FrameData{base::Bitmap(bitmap), std::max(delay, kMinimumDelayMs)});
    }
    frames_ = std::move(frames);
    return !frames_.empty();
}
