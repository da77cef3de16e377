#pragma once
// The skinned main screen: a borderless dialog whose whole face comes from the skin. It finds and reads the
// skin file, takes the outline of the mask picture, lays out its buttons, texts, pages and animation,
// paints, lets the user drag it by its background, shows one page at a time, plays or stops the animation
// on request, and tells its descendants when it is about to close. The main dialog derives from it and
// decides what the main-screen buttons do.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/shockwave_flash.h"
#include "skin/skin_dialog.h"
#include "skin/sub_main_skin.h"
#include "base/message_box.h"

class CMainSkin : public CSkinDialog {
public:
    // `boxes` answers the screen's messages and must outlive it; `commands` is what its pages' buttons
    // reach.
    CMainSkin(UINT templateId, base::MessageBoxes& boxes, PanelCommands commands);
    ~CMainSkin() override;

    // The skin file's name; OnInitDialog turns it into the full path below the current directory.
    void SetSkinFile(const std::string& name) { m_strSkinPath = name; }
    const std::string& SkinFile() const { return m_strSkinPath; }

    // Gives the window the outline of `mask` (pure white is cut away).
    virtual void SetWindowShape(HBITMAP mask);
    // Builds the whole screen from the skin file (the skin path must be resolved).
    virtual void LoadSkin();

    // Shows the page of that name (exact comparison) and hides all others; no match hides them all.
    void ShowSubScreen(const std::string& name);

    // The container's Free, the animation's window and every page.
    void Free() override;

    const std::vector<std::unique_ptr<CSubMainSkin>>& SubScreens() const { return m_arrSubScreens; }
    // The first page of that name, or null.
    CSubMainSkin* FindSubScreen(const std::string& name) const;
    CShockwaveFlash& Animation() { return m_animation; }

protected:
    // Resolves the skin path; reports a missing skin file and ends the dialog with IDCANCEL, or loads the
    // skin. Returns false when the skin was missing.
    bool OnInitDialog() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    base::MessageBoxes& Boxes() const { return m_boxes; }

private:
    void ReadSubScreenInfo(const CSkinIni& ini, const std::string& skinFolder);
    void OnLButtonDown(LPARAM lParam);

    base::MessageBoxes& m_boxes;
    PanelCommands m_commands;
    CShockwaveFlash m_animation;
    std::vector<std::unique_ptr<CSubMainSkin>> m_arrSubScreens;
    std::string m_strSkinPath;
};

// Control id and window name of the main screen's animation.
inline constexpr UINT kMainAnimationId = 100;
inline constexpr char kMainAnimationName[] = "SHOCKWAVE";
