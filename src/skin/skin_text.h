#pragma once
// A label that paints its piece of the screen's background and then its string in its own font and colour,
// so the string looks printed on the screen. The string may be replaced from any thread (a scan worker
// reports progress this way); painting reads it on the window's thread.
#include <windows.h>

#include <mutex>
#include <string>

#include "base/unique_handle.h"
#include "winui/window.h"

class CSkinText : public winui::Control {
public:
    // Starts with an empty string and a copy of DEFAULT_GUI_FONT.
    CSkinText();

    // A visible STATIC child of `parent` with control id 0.
    bool Create(const std::string& caption, const RECT& rect, HWND parent);

    // Replaces the string; does not redraw. Safe on any thread.
    void SetText(const std::string& text);
    std::string GetText() const;

    // Makes the text's own copy of `font` (the caller keeps and deletes `font`).
    void SetFont(HFONT font);
    HFONT GetFont() const { return m_font.Get(); }

    // Cuts the background out of the screen's normal picture at `rect`.
    void SetBackground(const RECT& rect, HBITMAP screenImage);

    const std::string& Name() const { return m_strName; }
    void SetName(const std::string& name) { m_strName = name; }
    COLORREF Colour() const { return m_crColour; }
    void SetColour(COLORREF colour) { m_crColour = colour; }

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();

    mutable std::mutex m_textLock; // guards m_strText only
    std::string m_strText;
    base::Bitmap m_bmpBackground;
    base::Font m_font;
    std::string m_strName;
    COLORREF m_crColour = 0;
};
