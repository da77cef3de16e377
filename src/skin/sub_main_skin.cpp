#include "skin/sub_main_skin.h"

#include <commctrl.h>

#include "skin/app_state.h"
#include "skin/skin_dialog.h"
#include "skin/skin_image.h"
#include "skin/skin_ini.h"
#include "skin/skin_messages.h"
#include "skin/skin_records.h"
#include "winui/gdi_scoped.h"

namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL;
constexpr DWORD kScanWaitMs = 10000;

BOOL CALLBACK SendPrepareToClose(HWND window, LPARAM) {
    if (winui::Window::FromHandle(window)) {
        SendMessageA(window, WM_PREPARETOCLOSE, 0, 0);
    }
    return TRUE;
}

// Waits for `thread` to end, at most `timeoutMs`, while answering messages other threads send to this
// one: the closing scan dialog is owned by a window of this thread and may send to it on its way out.
void WaitServingSentMessages(HANDLE thread, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return;
        }
        const DWORD result =
            MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1) {
            return; // ended, timed out or failed
        }
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

void PrepareDescendantsToClose(HWND window) {
    if (window) {
        EnumChildWindows(window, &SendPrepareToClose, 0);
    }
}

CSubMainSkin::CSubMainSkin(base::MessageBoxes& boxes, const PanelCommands& commands)
    : m_boxes(boxes), m_commands(commands) {
    LastSubScreen = this;
    g_pSummary = nullptr;
}

CSubMainSkin::~CSubMainSkin() {
    PrepareDescendantsToClose(Hwnd());
    CSubMainSkin::Free();
    CancelScanDialog();
    if (LastSubScreen == this) {
        LastSubScreen = nullptr; // the Run command must never reach a page that is gone
    }
}

void CSubMainSkin::CancelScanDialog() {
    if (CSkinDialog* summary = g_pSummary.load()) {
        if (const HWND dialog = summary->Hwnd()) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    // Each page waits for the thread it started, whichever page goes first: the tray's Run starts the scan
    // from the last page created, which need not be the first one destroyed.
    if (m_hScanThread) {
        WaitServingSentMessages(m_hScanThread.Get(), kScanWaitMs);
        m_hScanThread.Reset();
        g_pSummary = nullptr;
    }
}

bool CSubMainSkin::Create(const RECT& rect, HWND parent) {
    return Control::Create("STATIC", "", WS_CHILD | WS_VISIBLE, rect, parent, 0);
}

void CSubMainSkin::OnAttached() {
    // Never a frame or a tab stop: the page is part of the picture. Tab still reaches its buttons.
    ModifyStyle(WS_THICKFRAME | WS_TABSTOP, 0);
    SetWindowLongPtrA(Hwnd(), GWL_EXSTYLE, GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

void CSubMainSkin::SetImages(const RECT&, const std::string& normal, const std::string& over,
                             const std::string& down, const std::string& disabled) {
    LoadImage(Image::Normal, normal);
    LoadImage(Image::Over, over);
    LoadImage(Image::Down, down);
    LoadImage(Image::Disabled, disabled);
    ModifyStyle(WS_TABSTOP, 0);
}

std::string CSubMainSkin::SectionName() const {
    std::string upper = Name();
    if (!upper.empty()) {
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    }
    return upper;
}

void CSubMainSkin::ReadButtonInfo(const CSkinIni& ini) {
    CSkinScreen::ReadButtonInfo(Hwnd(), ini, SectionName() + "_BUTTONINFO");
}

void CSubMainSkin::ReadTextInfo(const CSkinIni& ini) {
    CSkinScreen::ReadTextInfo(Hwnd(), ini, SectionName() + "_TEXTINFO", 'F');
}

void CSubMainSkin::ReadListInfo(const CSkinIni& ini) {
    const std::string value = ini.GetValue(SectionName() + "_LISTINFO", "1", "");
    if (value.empty() || m_pScheduleList) {
        return;
    }
    const ListRecord record = ParseListRecord(value);
    auto list = std::make_unique<winui::ReportView>();
    if (!list->Create(kListStyle, record.rect, Hwnd(), kScheduleListId)) {
        return;
    }
    list->SetExtendedStyle(list->ExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const auto& [title, width] : record.columns) {
        list->InsertColumn(index++, title, LVCFMT_LEFT, width);
    }
    m_pScheduleList = std::move(list);
    RefreshScheduleList();
}

void CSubMainSkin::RefreshScheduleList() {
    if (!m_pScheduleList) {
        return;
    }
    std::vector<ScheduleListRow> rows;
    if (m_commands.listSchedule) {
        rows = m_commands.listSchedule();
    }
    m_pScheduleList->DeleteAllItems();
    int row = 0;
    for (const ScheduleListRow& item : rows) {
        const int at = m_pScheduleList->InsertItem(row, item.number);
        if (at < 0) {
            break;
        }
        m_pScheduleList->SetItemText(at, 1, item.description);
        m_pScheduleList->SetItemText(at, 2, item.lastRun);
        ++row;
    }
}

void CSubMainSkin::Free() {
    CSkinScreen::Free();
    m_pScheduleList.reset();
}

void CSubMainSkin::ButtonPressed(const std::string& name) {
    if (name == "BUTTON_SCAN") {
        StartScan();
    } else if (name == "BUTTON_RESTORE") {
        Restore();
    } else if (name == "BUTTON_ADDSCHEDULE") {
        if (m_commands.addSchedule) {
            m_commands.addSchedule(Hwnd());
            RefreshScheduleList();
        }
    } else if (name == "BUTTON_DELETESCHEDULE") {
        DeleteSchedule();
    } else if (name == "BUTTON_RUNUPDATE") {
        RunUpdate();
    } else if (name == "BUTTON_SUPPORT") {
        if (m_commands.openSupportPage) {
            const std::string problem = m_commands.openSupportPage();
            if (!problem.empty()) {
                m_boxes.Show(Hwnd(), problem, "Orvalin", MB_ICONEXCLAMATION);
            }
        }
    }
}

void CSubMainSkin::StartScan() {
    if (ScanDialogOpen || !m_commands.startScanDialog) {
        return;
    }
    ScanDialogOpen = true;
    base::KernelHandle thread = m_commands.startScanDialog(Hwnd(), SkinPath);
    if (!thread) {
        ScanDialogOpen = false; // no dialog will ever clear it
        return;
    }
    m_hScanThread = std::move(thread);
}

void CSubMainSkin::Restore() {
    if (ScanDialogOpen || !m_commands.restoreRegistry) {
        return;
    }
    const bool restored = m_commands.restoreRegistry(Hwnd());
    m_boxes.Show(Hwnd(), restored ? "Registry Restored Successfuly" : "Registry Restoration Failed",
                 "Registry Restoration", MB_ICONINFORMATION);
}

void CSubMainSkin::DeleteSchedule() {
    if (!m_pScheduleList || !m_commands.deleteSchedule || m_pScheduleList->ItemCount() <= 0) {
        return;
    }
    // The selected row, not the last one clicked: a row unselected again keeps only its focus box.
    const int selected =
        static_cast<int>(m_pScheduleList->Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0) {
        return;
    }
    const std::string description = m_pScheduleList->ItemText(selected, 1);
    if (m_boxes.Show(Hwnd(), "Are You Sure", "Delete Scheduled Task", MB_OKCANCEL | MB_ICONEXCLAMATION) !=
        IDOK) {
        return;
    }
    m_commands.deleteSchedule(selected, description);
    RefreshScheduleList();
    Invalidate(true);
}

void CSubMainSkin::RunUpdate() {
    if (!m_commands.startLiveUpdate) {
        return;
    }
    const int answer =
        m_boxes.Show(Hwnd(),
                     "To Run the Live Update,Orvalin must be shut down\n Would you like to close "
                     "Orvalin, and run live update now?",
                     "Orvalin", MB_YESNO | MB_ICONEXCLAMATION);
    if (answer != IDYES) {
        return;
    }
    // The program stays when the updater did not start: closing it then would leave the user with neither.
    const std::string problem = m_commands.startLiveUpdate();
    if (!problem.empty()) {
        m_boxes.Show(Hwnd(), problem, "Orvalin", MB_ICONEXCLAMATION);
        return;
    }
    PostQuitMessage(kLiveUpdateExitCode);
}

std::optional<LRESULT> CSubMainSkin::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_PREPARETOCLOSE:
        PrepareDescendantsToClose(Hwnd());
        return 0;
    case WM_ENABLESCANBUTTON:
        EnableButton("BUTTON_SCAN", true);
        return 0;
    default:
        return Control::OnMessage(message, wParam, lParam);
    }
}

void CSubMainSkin::Paint() {
    {
        winui::PaintDc paint(Hwnd());
        PaintBackground(paint.Get(), ClientRect());
    }
    InvalidateControls();
    if (m_pScheduleList) {
        m_pScheduleList->Invalidate(true);
    }
}
