#pragma once
// The animation of a skinned screen. Where the Shockwave Flash control is registered it is hosted in this
// window (through atl.dll's "AtlAxWin" host) and driven through its dispatch interface: Movie, Play, Stop.
// Elsewhere the same window plays an animated GIF instead: the one at the movie path or, for a path ending
// in ".swf" that holds no GIF, the same path ending in ".gif". With no movie at all the window stays
// hidden: it exists but shows nothing.
#include <windows.h>

#include <oaidl.h>

#include <string>

#include "skin/gif_animation.h"
#include "winui/window.h"

class CShockwaveFlash : public winui::Window {
public:
    CShockwaveFlash() = default;
    ~CShockwaveFlash() override;

    // Creates the window (a child of `parent` with control id `id`) and, when it can, the Flash control in
    // it.
    bool Create(const std::string& windowName, DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetMovie(const std::string& path);
    void Play();
    void Stop();

    bool IsFlashHosted() const { return m_pDispatch != nullptr; }
    bool IsPlaying() const { return m_bPlaying; }
    size_t FrameCount() const { return m_animation.FrameCount(); }
    size_t CurrentFrame() const { return m_nFrame; }

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool HostFlash();
    void ReleaseFlash();
    void InvokeFlash(DISPID id, WORD kind, VARIANT* argument);
    void ScheduleNextFrame();
    void Paint();

    HMODULE m_hAtl = nullptr;
    HWND m_hHost = nullptr;
    IDispatch* m_pDispatch = nullptr;
    GifAnimation m_animation;
    size_t m_nFrame = 0;
    bool m_bPlaying = false;
    bool m_bWantVisible = false;
};
