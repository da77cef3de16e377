#pragma once
// A push button drawn entirely from four pictures (normal, mouse over, pressed, disabled), each cut out of
// its screen's picture of that state. A click is reported to the owning screen by the button's position in
// the screen's button list; the standard button sends no BN_CLICKED.
//
// Hover follows the mouse capture: the button takes the capture when the mouse comes over it (while a window
// of its thread is active) and releases it when the mouse leaves. A press that starts elsewhere and is
// dragged onto the button does not light it.
//
// The button is a tab stop: focused, it shows the skin's focus mark (a dotted one when the skin has none),
// and Space presses it like a click.
#include <windows.h>

#include <string>

#include "base/unique_handle.h"
#include "skin/skin_records.h"
#include "winui/window.h"

class CSkinScreen;

class CSkinButton : public winui::Control {
public:
    explicit CSkinButton(CSkinScreen& owner) : m_owner(owner) {}

    // A visible owner-drawn child of `parent` with an empty caption and control id 0.
    bool Create(const RECT& rect, HWND parent);

    // Cuts the button's four pictures out of the screen's four pictures at `rect`.
    void SetImages(const RECT& rect, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled);

    const std::string& Name() const { return m_strName; }
    void SetName(const std::string& name) { m_strName = name; }
    int Index() const { return m_nIndex; }
    void SetIndex(int index) { m_nIndex = index; }
    bool IsFixed() const { return m_bFixed; }
    void SetFixed(bool fixed) { m_bFixed = fixed; }
    bool IsHovered() const { return m_nHover != 0; }
    void SetFocusMark(const std::optional<FocusMark>& mark) { m_focusMark = mark; }

    // The picture drawn for an owner-draw item state (ODS_SELECTED, ODS_DISABLED): a fixed button always
    // shows its normal picture; pressed beats hover beats disabled. A missing picture falls back to the
    // normal one; null when that is missing too.
    HBITMAP ImageFor(UINT itemState) const;

protected:
    void OnAttached() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> OnReflected(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    void OnMouseMove(WPARAM keys, POINT point);
    void OnLButtonUp(POINT point);
    void OnSpaceUp();

    CSkinScreen& m_owner;
    std::string m_strName;
    int m_nIndex = 0;
    int m_nHover = 0;
    base::Bitmap m_bmpNormal;
    base::Bitmap m_bmpOver;
    base::Bitmap m_bmpDown;
    base::Bitmap m_bmpDisabled;
    bool m_bFixed = false;
    std::optional<FocusMark> m_focusMark;
};
