#pragma once
// A skinned screen: its four full-size pictures (normal, mouse over, pressed, disabled), the buttons cut out
// of them and the texts printed on them. It is the second base of every skinned window (the dialogs and the
// sub-screen panels), which pass their own window as the parent of the controls.
//
// Controls are found by name, exactly and case-sensitively; the first of a name wins and a name that
// matches nothing does nothing. Everything except SetText runs on the thread of the screen's window;
// SetText may be called from any thread and never waits for the window.
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "skin/skin_button.h"
#include "skin/skin_records.h"
#include "skin/skin_text.h"

class CSkinIni;

class CSkinScreen {
public:
    enum class Image { Normal, Over, Down, Disabled };

    CSkinScreen() = default;
    virtual ~CSkinScreen();
    CSkinScreen(const CSkinScreen&) = delete;
    CSkinScreen& operator=(const CSkinScreen&) = delete;

    // Deletes the four pictures and destroys every button and text. Subclasses extend it.
    virtual void Free();

    // A click on the button of that name. The base does nothing.
    virtual void ButtonPressed(const std::string& name);
    // A click on the button at `index` of the button list: ButtonPressed with its name.
    virtual void OnButtonIndex(int index);

    void EnableButton(const std::string& name, bool enable);
    void ShowButton(const std::string& name, bool hide);
    void EnableAllButtons(bool enable);
    // Gives the first text of that name the string and invalidates it (with erase). Any thread.
    void SetText(const std::string& name, const std::string& text);

    // Building a screen. Picture paths are full paths; a picture that cannot be loaded stays empty. The
    // first picture refused for its size is named by PictureProblem() until ClearPictureProblem().
    bool LoadImage(Image which, const std::string& path, SIZE* size = nullptr);
    const std::string& PictureProblem() const { return m_strPictureProblem; }
    void NotePictureProblem(const std::string& problem) {
        if (m_strPictureProblem.empty()) {
            m_strPictureProblem = problem;
        }
    }
    void ClearPictureProblem() { m_strPictureProblem.clear(); }
    // One button or text from its record, a child of `parent`, cut from this screen's pictures and appended
    // to its list. Null when the window could not be made.
    CSkinButton* AddButton(HWND parent, const ButtonRecord& record);
    CSkinText* AddText(HWND parent, const TextRecord& record);
    // Every record of a numbered section, in key order; the buttons then take Tab in reading order.
    void ReadButtonInfo(HWND parent, const CSkinIni& ini, const std::string& section);
    void ReadTextInfo(HWND parent, const CSkinIni& ini, const std::string& section, char italicLetter);
    // Puts the buttons' windows in reading order among their siblings, where the first of them was.
    void OrderButtonsByPosition() const;

    // Painting: the normal picture one to one over `client`, then every control invalidated so it paints
    // over the fresh background.
    void PaintBackground(HDC dc, const RECT& client) const;
    void InvalidateControls() const;

    HBITMAP GetImage(Image which) const;
    const std::string& Name() const { return m_strName; }
    void SetName(const std::string& name) { m_strName = name; }

    // Lookups (window thread only).
    CSkinButton* FindButton(const std::string& name) const;
    CSkinText* FindText(const std::string& name) const;
    const std::vector<std::unique_ptr<CSkinButton>>& Buttons() const { return m_arrButtons; }
    size_t TextCount() const;

private:
    base::Bitmap& Slot(Image which);

    std::vector<std::unique_ptr<CSkinButton>> m_arrButtons;
    mutable std::mutex m_textsLock; // SetText reaches the text list from other threads
    std::vector<std::unique_ptr<CSkinText>> m_arrTexts;
    base::Bitmap m_bmpNormal;
    base::Bitmap m_bmpOver;
    base::Bitmap m_bmpDown;
    base::Bitmap m_bmpDisabled;
    std::string m_strName;
    std::string m_strPictureProblem;
};
