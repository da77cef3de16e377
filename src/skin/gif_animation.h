#pragma once
// The frames and delays of an animated GIF (or any single picture GDI+ reads), decoded once into bitmaps.
#include <windows.h>

#include <string>
#include <vector>

#include "base/unique_handle.h"

class GifAnimation {
public:
    GifAnimation();
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // Replaces the frames with those of the file; false (and no frames) when it cannot be read.
    bool Load(const std::string& path);
    void Clear();

    size_t FrameCount() const { return frames_.size(); }
    HBITMAP Frame(size_t index) const {
        return index < frames_.size() ? frames_[index].bitmap.Get() : nullptr;
    }
    // The time frame `index` stays on screen, in milliseconds (at least kMinimumDelayMs).
    UINT DelayMs(size_t index) const { return index < frames_.size() ? frames_[index].delayMs : 0; }

    // Frames without a delay of their own show this long, as browsers do.
    static constexpr UINT kDefaultDelayMs = 100;
    static constexpr UINT kMinimumDelayMs = 20;
    // Frames beyond this many are not decoded: each one is a bitmap handle of the process.
    static constexpr UINT kMaxFrames = 512;

private:
    struct FrameData {
        base::Bitmap bitmap;
        UINT delayMs;
    };
    std::vector<FrameData> frames_;
    ULONG_PTR gdiplusToken_ = 0;
};
