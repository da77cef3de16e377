// The four screens of the scan dialog, each built from its group of skin sections.
#include "scan_dialog/summary.h"

#include <commctrl.h>

#include "skin/skin_ini.h"
#include "skin/skin_records.h"

namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT;

// The first non-empty entry of a numbered section and its position (from 0). A screen section is meant
// to hold one entry; further entries would only build the same screen again.
bool FirstEntry(const CSkinIni& ini, const std::string& section, std::string& value, int& index) {
    std::vector<std::string> keys;
    ini.GetKeys(section, keys);
    for (size_t n = 1; n <= keys.size(); ++n) {
        value = ini.GetValue(section, std::to_string(n), "");
        if (!value.empty()) {
            index = static_cast<int>(n - 1);
            return true;
        }
    }
    return false;
}

} // namespace

void Summary::ReadErrorScanScreenInfo() {
    ReadScreen("SCREENERRORSCANINFO", "SCREENERRORSCAN_BUTTONINFO", "SCREENERRORSCAN_TEXTINFO", "",
               ScanScreen::ErrorScan);
}

void Summary::ReadScanCompleteScreenInfo() {
    ReadScreen("SCREENSCANCOMPLETEINFO", "SCREENSCANCOMPLETE_BUTTONINFO", "SCREENSCANCOMPLETE_TEXTINFO",
               "SCREENSCANCOMPLETE_LISTINFO", ScanScreen::ScanComplete);
}

void Summary::ReadErrorFixingScreenInfo() {
    ReadScreen("SCREENERRORFIXINGINFO", "SCREENERRORFIXING_BUTTONINFO", "SCREENERRORFIXING_TEXTINFO", "",
               ScanScreen::ErrorFixing);
}

void Summary::ReadFixCompleteScreenInfo() {
    ReadScreen("SCREENFIXCOMPLETEINFO", "SCREENFIXCOMPLETE_BUTTONINFO", "SCREENFIXCOMPLETE_TEXTINFO",
               "SCREENFIXCOMPLETE_LISTINFO", ScanScreen::FixComplete);
}

bool Summary::ReadScreen(const std::string& screenSection, const std::string& buttonSection,
                         const std::string& textSection, const std::string& listSection, ScanScreen screen) {
    // The previous screen's pictures, buttons and texts; the results list is left to the transitions.
    CSkinScreen::Free();
    m_screen = screen;
    const CSkinIni ini(m_strSkinFile);
    std::string value;
    int index = 0;
    if (!FirstEntry(ini, screenSection, value, index)) {
        Invalidate(true);
        return false;
    }
    const ScreenRecord record = ParseScreenRecord(value);
    const bool firstScreen = screen == ScanScreen::ErrorScan;
    if (firstScreen && !IsWindow() && !CreateModeless(nullptr)) {
        return false;
    }
    if (!IsWindow()) {
        return false;
    }

    const std::string folder = GetFolder(m_strSkinFile);
    LoadImage(Image::Normal, folder + record.normalImage);
    LoadImage(Image::Over, folder + record.overImage);
    LoadImage(Image::Down, folder + record.downImage);
    SIZE size{};
    LoadImage(Image::Disabled, folder + record.disabledImage, &size);
    m_rcScreen = record.rect;
    if (size.cx <= 0 || size.cy <= 0) {
        // Without the picture that sizes the window, the stated size keeps it from vanishing.
        size = SIZE{record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
    }
    m_nScreenWidth = size.cx;
    m_nScreenHeight = size.cy;

    ReadButtonInfo(buttonSection);
    ReadTextInfo(textSection);
    if (!listSection.empty()) {
        ReadListViewInfo(listSection);
    }
    if (firstScreen) {
        // The later screens are drawn in the window this one placed and sized.
        SetWindowPos(Hwnd(), HWND_TOP, record.rect.left, record.rect.top, m_nScreenWidth, m_nScreenHeight,
                     SWP_FRAMECHANGED);
    }
    m_nScreenIndex = index;
    m_strScreenName = record.name;
    Invalidate(true);
    return true;
}

void Summary::ReadButtonInfo(const std::string& section) {
    CSkinScreen::ReadButtonInfo(Hwnd(), CSkinIni(m_strSkinFile), section);
}

void Summary::ReadTextInfo(const std::string& section) {
    // In this dialog's sections an italic field that begins with "T" makes the text italic.
    CSkinScreen::ReadTextInfo(Hwnd(), CSkinIni(m_strSkinFile), section, 'T');
}

void Summary::ReadListViewInfo(const std::string& section) {
    const std::string value = CSkinIni(m_strSkinFile).GetValue(section, "1", "");
    if (value.empty()) {
        return;
    }
    const ListRecord record = ParseListRecord(value);
    m_listCtrl.Destroy();
    if (!m_listCtrl.Create(kListStyle, record.rect, Hwnd(), 0)) {
        return;
    }
    m_listCtrl.SetExtendedStyle(m_listCtrl.ExtendedStyle() | LVS_EX_FULLROWSELECT);
    int column = 0;
    for (const auto& [title, width] : record.columns) {
        m_listCtrl.InsertColumn(column++, title, LVCFMT_LEFT, width);
    }
}
