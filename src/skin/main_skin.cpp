#include "skin/main_skin.h"

#include <io.h>

#include "skin/app_state.h"
#include "skin/skin_image.h"
#include "skin/skin_ini.h"
#include "skin/skin_messages.h"
#include "skin/skin_records.h"
#include "skin/window_shape.h"

CMainSkin::CMainSkin(UINT templateId, base::MessageBoxes& boxes, PanelCommands commands)
    : CSkinDialog(templateId), m_boxes(boxes), m_commands(std::move(commands)) {}

CMainSkin::~CMainSkin() {
    CMainSkin::Free();
}

bool CMainSkin::OnInitDialog() {
    m_strSkinPath = ResolveSkinPath(m_strSkinPath);
    if (m_strSkinPath.empty() || _access(m_strSkinPath.c_str(), 0) != 0) {
        m_boxes.Show(Hwnd(), "\\Skin\\skin.ini Not Found", "Orvalin", MB_ICONHAND);
        End(IDCANCEL);
        return false;
    }
    LoadSkin();
    // A picture too large for any screen: said plainly, rather than gigabytes or a window over everything.
    if (!PictureProblem().empty()) {
        m_boxes.Show(Hwnd(), PictureProblem(), "Orvalin", MB_ICONHAND);
        End(IDCANCEL);
        return false;
    }
    return true;
}

void CMainSkin::LoadSkin() {
    Free();
    ClearPictureProblem();
    const CSkinIni ini(m_strSkinPath);
    const std::string folder = GetFolder(m_strSkinPath);

    const std::string main = ini.GetValue("MAINSCREENINFO", "Main", "");
    const std::string mask = ini.GetValue("MAINSCREENINFO", "Mask", main);
    const std::string over = ini.GetValue("MAINSCREENINFO", "Over", main);
    const std::string down = ini.GetValue("MAINSCREENINFO", "Down", main);
    const std::string disabled = ini.GetValue("MAINSCREENINFO", "Disabled", main);

    LoadImage(Image::Normal, folder + main);
    base::Bitmap maskBitmap;
    SIZE maskSize{};
    std::string problem;
    LoadPicture(folder + mask, maskBitmap, maskSize, &problem);
    NotePictureProblem(problem);
    if (!PictureProblem().empty()) {
        return; // OnInitDialog says why and ends: no window of that shape
    }

    // The window takes the mask's size where it stands. Without a mask picture it keeps its size rather
    // than vanish. The picture and the mask's outline line up only when the client area is the whole
    // window, so any frame the template asked for goes.
    ModifyStyle(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME, 0);
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE));
    SetWindowLongPtrA(Hwnd(), GWL_EXSTYLE,
                      exStyle &
                          ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    if (maskSize.cx > 0 && maskSize.cy > 0) {
        SetWindowPos(Hwnd(), HWND_TOP, window.left, window.top, maskSize.cx, maskSize.cy,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
        SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }

    LoadImage(Image::Over, folder + over);
    LoadImage(Image::Down, folder + down);
    LoadImage(Image::Disabled, folder + disabled);
    SetWindowShape(maskBitmap.Get());

    ReadButtonInfo(Hwnd(), ini, "MAINSCREENBUTTONINFO");
    ReadTextInfo(Hwnd(), ini, "TEXTINFO", 'F');
    ReadSubScreenInfo(ini, folder);
    EnableButton("BUTTON_MAIN", false); // the main page is shown first
    Invalidate(true);

    std::string dimension = ini.GetValue("MAINSCREENANIMATION", "DIMENSION", "");
    const RECT animationRect = NextRect(dimension);
    if (m_animation.Create(kMainAnimationName, WS_CHILD | WS_VISIBLE, animationRect, Hwnd(),
                           kMainAnimationId)) {
        m_animation.SetMovie(ResolveSkinPath("bug.swf"));
        m_animation.Play();
    }

    if (ScanAtStartup && !ScanDialogOpen) {
        // The first page with a scan button opens the scan dialog; the flag it sets stops the others.
        for (const auto& page : m_arrSubScreens) {
            page->ButtonPressed("BUTTON_SCAN");
        }
    }
}

void CMainSkin::ReadSubScreenInfo(const CSkinIni& ini, const std::string& skinFolder) {
    for (const std::string& value : ini.GetNumberedValues("SUBMAINSCREENINFO")) {
        const ScreenRecord record = ParseScreenRecord(value);
        auto page = std::make_unique<CSubMainSkin>(m_boxes, m_commands);
        SkinPath = m_strSkinPath;
        if (!page->Create(record.rect, Hwnd())) {
            continue;
        }
        page->SetImages(record.rect, skinFolder + record.normalImage, skinFolder + record.overImage,
                        skinFolder + record.downImage, skinFolder + record.disabledImage);
        page->SetName(record.name);
        page->ReadButtonInfo(ini);
        page->ReadTextInfo(ini);
        page->ReadListInfo(ini);
        m_arrSubScreens.push_back(std::move(page));
    }
}

void CMainSkin::SetWindowShape(HBITMAP mask) {
    ::SetWindowShape(Hwnd(), mask, m_boxes);
}

void CMainSkin::ShowSubScreen(const std::string& name) {
    for (const auto& page : m_arrSubScreens) {
        if (page->Name() == name) {
            page->Show(SW_SHOW);
            page->ShowButton("BUTTON_SCAN", false);
            page->Invalidate(true);
        } else {
            page->Show(SW_HIDE);
        }
    }
}

CSubMainSkin* CMainSkin::FindSubScreen(const std::string& name) const {
    for (const auto& page : m_arrSubScreens) {
        if (page->Name() == name) {
            return page.get();
        }
    }
    return nullptr;
}

void CMainSkin::Free() {
    CSkinDialog::Free();
    m_animation.Destroy();
    // Moved out first, so that nothing reached while a page goes finds a half-emptied list.
    std::vector<std::unique_ptr<CSubMainSkin>> pages;
    pages.swap(m_arrSubScreens);
    pages.clear();
}

void CMainSkin::OnLButtonDown(LPARAM lParam) {
    // The platform moves the window with the mouse as if its caption had been pressed. The point goes in
    // screen coordinates, as WM_NCLBUTTONDOWN expects them.
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(Hwnd(), &point);
    PostMessageA(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

std::optional<LRESULT> CMainSkin::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(lParam);
        return std::nullopt;
    case WM_PLAYFLASH:
        m_animation.Play();
        return 0;
    case WM_STOPFLASH:
        m_animation.Stop();
        return 0;
    case WM_DESTROY:
        // The descendants still exist here, whatever ends the dialog.
        PrepareDescendantsToClose(Hwnd());
        return std::nullopt;
    default:
        return CSkinDialog::OnMessage(message, wParam, lParam);
    }
}
