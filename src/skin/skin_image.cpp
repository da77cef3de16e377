#include "skin/skin_image.h"

#include "base/com.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "skin/picture_size.h"
#include "winui/gdi_scoped.h"

namespace {

// The rectangles one ExtCreateRegion call may get, and the step by which the buffer grows.
constexpr DWORD kRectsPerBatch = 2000;
constexpr DWORD kRectsGrowth = 100;

// The picture's bitmap copied into a 32-bit DIB section of our own: it outlives the picture object, and
// its pixels stay exact whatever the display's colour depth (a mask's near-white must not turn white).
HBITMAP CopyPictureBitmap(HBITMAP source) {
    const SIZE size = BitmapSize(source);
    if (size.cx <= 0 || size.cy <= 0) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    base::Bitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    base::MemoryDc from(CreateCompatibleDC(nullptr));
    base::MemoryDc to(CreateCompatibleDC(nullptr));
    if (!copy || !from || !to) {
        return nullptr;
    }
    {
        winui::SelectGuard selectFrom(from.Get(), source);
        winui::SelectGuard selectTo(to.Get(), copy.Get());
        BitBlt(to.Get(), 0, 0, size.cx, size.cy, from.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    return copy.Release();
}

// The RGNDATA block of BitmapToRegion: a header and a growing array of rectangles in movable memory.
class RegionBuilder {
public:
    RegionBuilder() { Allocate(kRectsGrowth); }
    ~RegionBuilder() {
        if (m_memory) {
            if (m_data) {
                GlobalUnlock(m_memory);
            }
            GlobalFree(m_memory);
        }
    }
    RegionBuilder(const RegionBuilder&) = delete;
    RegionBuilder& operator=(const RegionBuilder&) = delete;

    bool Ok() const { return m_data != nullptr; }

    bool Add(LONG left, LONG top, LONG right, LONG bottom) {
        if (m_data->rdh.nCount == m_room && !Grow()) {
            return false;
        }
        RECT* rects = reinterpret_cast<RECT*>(m_data->Buffer);
        rects[m_data->rdh.nCount] = RECT{left, top, right, bottom};
        RECT& bound = m_data->rdh.rcBound;
        bound.left = std::min(bound.left, left);
        bound.top = std::min(bound.top, top);
        bound.right = std::max(bound.right, right);
        bound.bottom = std::max(bound.bottom, bottom);
        ++m_data->rdh.nCount;
        return m_data->rdh.nCount < kRectsPerBatch || Flush();
    }

    // Turns the rectangles gathered so far into a region and joins it to the result.
    bool Flush() {
        const DWORD size = sizeof(RGNDATAHEADER) + sizeof(RECT) * m_room;
        HRGN batch = ExtCreateRegion(nullptr, size, m_data);
        if (!batch) {
            return false;
        }
        if (m_result) {
            CombineRgn(m_result.Get(), m_result.Get(), batch, RGN_OR);
            DeleteObject(batch);
        } else {
            m_result.Reset(batch);
        }
        Restart();
        return true;
    }

    base::Region TakeResult() { return std::move(m_result); }

private:
    void Allocate(DWORD room) {
        m_memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(RGNDATAHEADER) + sizeof(RECT) * room);
        if (!m_memory) {
            return;
        }
        m_data = static_cast<RGNDATA*>(GlobalLock(m_memory));
        if (!m_data) {
            return;
        }
        m_room = room;
        m_data->rdh.dwSize = sizeof(RGNDATAHEADER);
        m_data->rdh.iType = RDH_RECTANGLES;
        m_data->rdh.nRgnSize = 0;
        Restart();
    }

    void Restart() {
        m_data->rdh.nCount = 0;
        m_data->rdh.rcBound = RECT{LONG_MAX, LONG_MAX, 0, 0};
    }

    bool Grow() {
        const DWORD room = m_room + kRectsGrowth;
        GlobalUnlock(m_memory);
        m_data = nullptr;
        HGLOBAL grown = GlobalReAlloc(m_memory, sizeof(RGNDATAHEADER) + sizeof(RECT) * room, GMEM_MOVEABLE);
        if (grown) {
            m_memory = grown;
            m_room = room;
        }
        m_data = static_cast<RGNDATA*>(GlobalLock(m_memory));
        return grown && m_data;
    }

    HGLOBAL m_memory = nullptr;
    RGNDATA* m_data = nullptr;
    DWORD m_room = 0;
    base::Region m_result;
};

bool InRange(BYTE value, BYTE low, BYTE tolerance) {
    const int high = std::min(255, low + tolerance);
    return value >= low && value <= high;
}

} // namespace

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

bool LoadPicture(const std::string& path, base::Bitmap& bitmap, SIZE& size, std::string* refusal) {
    const SIZE screen{GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const auto refuse = [&](SIZE found) {
        std::string problem = PictureSizeProblem(path, found, screen);
        if (problem.empty()) {
            return false;
        }
        if (refusal) {
            *refusal = std::move(problem);
        }
        bitmap.Reset();
        size = SIZE{0, 0};
        return true;
    };
    bitmap.Reset();
    size = SIZE{0, 0};
    base::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const DWORD fileSize = GetFileSize(file.Get(), nullptr);
    if (fileSize == 0 || fileSize == INVALID_FILE_SIZE) {
        return false;
    }
    base::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, fileSize));
    if (!memory) {
        return false;
    }
    void* bytes = GlobalLock(memory.Get());
    DWORD read = 0;
    const BOOL readOk = bytes && ReadFile(file.Get(), bytes, fileSize, &read, nullptr);
    const std::optional<SIZE> declared =
        readOk && read == fileSize ? DeclaredPictureSize(static_cast<const unsigned char*>(bytes), read)
                                   : std::nullopt;
    if (bytes) {
        GlobalUnlock(memory.Get());
    }
    if (declared && refuse(*declared)) {
        return false;
    }
    file.Reset();
    if (!readOk || read != fileSize) {
        return false;
    }
    base::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Put()))) {
        return false;
    }
    memory.Release(); // the stream frees it now
    base::ComPtr<IPicture> picture;
    const HRESULT hr =
        OleLoadPicture(stream.Get(), static_cast<LONG>(fileSize), FALSE, IID_IPicture, picture.PutVoid());
    if (FAILED(hr) || !picture) {
        return false;
    }
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) {
        return false;
    }
    bitmap.Reset(CopyPictureBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle))));
    size = BitmapSize(bitmap.Get());
    if (refuse(size)) { // a header that understated the picture

        return false;
    }
    return static_cast<bool>(bitmap);
}

void CropBitmap(HDC referenceDc, base::Bitmap& target, HBITMAP source, int left, int top, int right,
                int bottom) {
    if (!source) {
        return;
    }
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) {
        return;
    }
    winui::WindowDc screen(nullptr);
    const HDC reference = referenceDc ? referenceDc : screen.Get();
    base::Bitmap piece(CreateCompatibleBitmap(reference, width, height));
    base::MemoryDc to(CreateCompatibleDC(reference));
    base::MemoryDc from(CreateCompatibleDC(reference));
    if (!piece || !to || !from) {
        return;
    }
    {
        winui::SelectGuard selectTo(to.Get(), piece.Get());
        winui::SelectGuard selectFrom(from.Get(), source);
        // Pixels beyond the source stay black rather than undefined.
        PatBlt(to.Get(), 0, 0, width, height, BLACKNESS);
        const SIZE sourceSize = BitmapSize(source);
        const int x0 = std::max(left, 0);
        const int y0 = std::max(top, 0);
        const int x1 = std::min(right, static_cast<int>(sourceSize.cx));
        const int y1 = std::min(bottom, static_cast<int>(sourceSize.cy));
        if (x1 > x0 && y1 > y0) {
            BitBlt(to.Get(), x0 - left, y0 - top, x1 - x0, y1 - y0, from.Get(), x0, y0, SRCCOPY);
        }
    }
    target = std::move(piece);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom) {
    if (!dc || !bitmap) {
        return;
    }
    const SIZE size = BitmapSize(bitmap);
    const int width = std::min(right - left, static_cast<int>(size.cx));
    const int height = std::min(bottom - top, static_cast<int>(size.cy));
    if (width <= 0 || height <= 0) {
        return;
    }
    base::MemoryDc memory(CreateCompatibleDC(dc));
    if (!memory) {
        return;
    }
    winui::SelectGuard select(memory.Get(), bitmap);
    BitBlt(dc, left, top, width, height, memory.Get(), 0, 0, SRCCOPY);
}

base::Region BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance) {
    if (!bitmap) {
        return {};
    }
    base::MemoryDc pixelsDc(CreateCompatibleDC(nullptr));
    if (!pixelsDc) {
        return {};
    }
    const SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        return {};
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = size.cx;
    header.biHeight = size.cy; // bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    base::Bitmap dib(CreateDIBSection(pixelsDc.Get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                      &bits, nullptr, 0));
    if (!dib || !bits) {
        return {};
    }
    winui::SelectGuard selectDib(pixelsDc.Get(), dib.Get());
    base::MemoryDc sourceDc(CreateCompatibleDC(pixelsDc.Get()));
    if (!sourceDc) {
        return {};
    }
    BITMAP dibInfo{};
    GetObjectA(dib.Get(), sizeof dibInfo, &dibInfo);
    LONG stride = dibInfo.bmWidthBytes;
    if (stride % 4) {
        stride += 4 - stride % 4;
    }
    {
        winui::SelectGuard selectSource(sourceDc.Get(), bitmap);
        BitBlt(pixelsDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();

    RegionBuilder builder;
    if (!builder.Ok()) {
        return {};
    }
    const BYTE keyRed = GetRValue(key), keyGreen = GetGValue(key), keyBlue = GetBValue(key);
    const BYTE tolRed = GetRValue(tolerance), tolGreen = GetGValue(tolerance), tolBlue = GetBValue(tolerance);
    // Row y of the image is row (height - 1 - y) of the bottom-up DIB; pixels are blue, green, red, unused.
    const auto* base = static_cast<const BYTE*>(bits);
    for (LONG y = 0; y < size.cy; ++y) {
        const BYTE* row = base + static_cast<size_t>(size.cy - 1 - y) * static_cast<size_t>(stride);
        const auto transparent = [&](LONG x) {
            const BYTE* pixel = row + static_cast<size_t>(x) * 4;
            return InRange(pixel[2], keyRed, tolRed) && InRange(pixel[1], keyGreen, tolGreen) &&
                   InRange(pixel[0], keyBlue, tolBlue);
        };
        for (LONG x = 0; x < size.cx; ++x) {
            const LONG x0 = x;
            while (x < size.cx && !transparent(x)) {
                ++x;
            }
            if (x > x0 && !builder.Add(x0, y, x, y + 1)) {
                return {};
            }
        }
    }
    if (!builder.Flush()) {
        return {};
    }
    return builder.TakeResult();
}
