#include "skin/shockwave_flash.h"

#include <ole2.h>

#include <algorithm>
#include <cctype>

#include "base/com.h"
#include "base/program_folder.h"
#include "base/wide_text.h"
#include "skin/skin_image.h"
#include "winui/gdi_scoped.h"

namespace {

constexpr char kFlashClassId[] = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr DISPID kDispidMovie = 0x66;
constexpr DISPID kDispidPlay = 0x70;
constexpr DISPID kDispidStop = 0x71;
constexpr UINT_PTR kFrameTimer = 1;

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

BSTR ToBstr(const std::string& text) {
    const std::wstring wide = base::Widen(text.c_str()); // up to the first NUL, as a BSTR's reader sees it
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

} // namespace

CShockwaveFlash::~CShockwaveFlash() {
    ReleaseFlash();
    if (m_hAtl) {
        // The host window lives inside this one; it must be gone before atl.dll may go.
        Destroy();
        FreeLibrary(m_hAtl);
    }
}

bool CShockwaveFlash::Create(const std::string& windowName, DWORD style, const RECT& rect, HWND parent,
                             UINT id) {
    m_bWantVisible = (style & WS_VISIBLE) != 0;
    if (!CreateCustom(0, windowName, style | WS_CLIPCHILDREN, rect, parent, id)) {
        return false;
    }
    HostFlash();
    if (!IsFlashHosted()) {
        Show(SW_HIDE); // nothing to show until a movie is found
    }
    return true;
}

bool CShockwaveFlash::HostFlash() {
    if (!m_hAtl) {
        m_hAtl = base::LoadSystemLibrary("atl.dll");
    }
    if (!m_hAtl) {
        return false;
    }
    const auto init =
        reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(m_hAtl, "AtlAxWinInit")));
    const auto getControl = reinterpret_cast<AtlAxGetControlFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hAtl, "AtlAxGetControl")));
    if (!init || !getControl || !init()) {
        return false;
    }
    const RECT client = ClientRect();
    m_hHost = CreateWindowExA(0, "AtlAxWin", kFlashClassId, WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                              client.bottom, Hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    // Some hosts return an empty window when the control is not registered: only a control counts.
    base::ComPtr<IUnknown> control;
    if (m_hHost && SUCCEEDED(getControl(m_hHost, control.Put())) && control) {
        control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    }
    if (!m_pDispatch) {
        ReleaseFlash();
        return false;
    }
    return true;
}

void CShockwaveFlash::ReleaseFlash() {
    if (m_pDispatch) {
        m_pDispatch->Release();
        m_pDispatch = nullptr;
    }
    if (m_hHost) {
        DestroyWindow(m_hHost);
        m_hHost = nullptr;
    }
}

void CShockwaveFlash::InvokeFlash(DISPID id, WORD kind, VARIANT* argument) {
    DISPPARAMS params{};
    DISPID named = DISPID_PROPERTYPUT;
    if (argument) {
        params.rgvarg = argument;
        params.cArgs = 1;
        if (kind == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
    }
    VARIANT result;
    VariantInit(&result);
    m_pDispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, &result, nullptr, nullptr);
    VariantClear(&result);
}

void CShockwaveFlash::SetMovie(const std::string& path) {
    if (m_pDispatch) {
        VARIANT movie;
        VariantInit(&movie);
        movie.vt = VT_BSTR;
        movie.bstrVal = ToBstr(path);
        InvokeFlash(kDispidMovie, DISPATCH_PROPERTYPUT, &movie);
        VariantClear(&movie);
        return;
    }
    if (!m_animation.Load(path) && EndsWithNoCase(path, ".swf")) {
        m_animation.Load(path.substr(0, path.size() - 4) + ".gif");
    }
    m_nFrame = 0;
    if (IsWindow()) {
        Show(m_animation.FrameCount() > 0 && m_bWantVisible ? SW_SHOWNA : SW_HIDE);
        Invalidate(false);
        if (m_bPlaying) {
            ScheduleNextFrame();
        }
    }
}

void CShockwaveFlash::Play() {
    if (m_pDispatch) {
        InvokeFlash(kDispidPlay, DISPATCH_METHOD, nullptr);
        m_bPlaying = true;
        return;
    }
    m_bPlaying = true;
    ScheduleNextFrame();
}

void CShockwaveFlash::Stop() {
    if (m_pDispatch) {
        InvokeFlash(kDispidStop, DISPATCH_METHOD, nullptr);
        m_bPlaying = false;
        return;
    }
    m_bPlaying = false;
    if (IsWindow()) {
        KillTimer(Hwnd(), kFrameTimer);
    }
}

void CShockwaveFlash::ScheduleNextFrame() {
    if (!IsWindow()) {
        return;
    }
    if (m_animation.FrameCount() > 1) {
        SetTimer(Hwnd(), kFrameTimer, m_animation.DelayMs(m_nFrame), nullptr);
    } else {
        KillTimer(Hwnd(), kFrameTimer);
    }
}

std::optional<LRESULT> CShockwaveFlash::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kFrameTimer) {
            return std::nullopt;
        }
        if (m_bPlaying && m_animation.FrameCount() > 0) {
            m_nFrame = (m_nFrame + 1) % m_animation.FrameCount();
            Invalidate(false);
            ScheduleNextFrame();
        } else {
            KillTimer(Hwnd(), kFrameTimer);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1; // every pixel is painted by WM_PAINT (or by the hosted control)
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        if (m_hHost) {
            const RECT client = ClientRect();
            MoveWindow(m_hHost, 0, 0, client.right, client.bottom, TRUE);
        }
        return std::nullopt;
    case WM_DESTROY:
        KillTimer(Hwnd(), kFrameTimer);
        // The host goes with this window; forget it now so its handle is never used again.
        ReleaseFlash();
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void CShockwaveFlash::Paint() {
    winui::PaintDc paint(Hwnd());
    const RECT client = ClientRect();
    DrawBitmap(paint.Get(), m_animation.Frame(m_nFrame), 0, 0, client.right, client.bottom);
}
