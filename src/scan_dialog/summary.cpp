// The scan dialog's life: its skin and first screen, its buttons and keys, the completion of the scan and
// of the fix, and every way it closes.
#include "scan_dialog/summary.h"

#include <algorithm>

#include "engine/scan_events.h"
#include "scan_dialog/results_list.h"
#include "skin/app_state.h"
#include "skin/skin_ini.h"
#include "skin/skin_messages.h"
#include "winui/dialog_template.h"

namespace {

// The empty popup the screens are drawn in: no caption, and no frame either, since the pictures bring
// their own edge and a frame would cut off their right and bottom. The error-scan screen sizes it.
winui::DialogTemplate ScanDialogTemplate() {
    return winui::DialogTemplate(WS_POPUP, 0, 0, 0, 186, 95, "", 8, "MS Sans Serif");
}

constexpr char kBackupFailedCaption[] = "Orvalin";
constexpr char kNothingRepaired[] = "Orvalin could not write the backup file, so nothing was repaired.\n"
                                    "Your registry and your shortcuts are unchanged.";

// Entries are removed only after their backup is on disk, so everything removed is in the file.
std::string RepairCutShortText(int removed, int left) {
    return "Orvalin could not finish writing the backup file, so the repair was stopped.\n" +
           std::to_string(removed) + (removed == 1 ? " entry was" : " entries were") +
           " removed (all of them are in the backup file); " + std::to_string(left) +
           (left == 1 ? " was" : " were") + " left in place.";
}

std::string Entries(int count) {
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

// One line of the fix-complete screen.
std::string RepairStoppedText(int removed, int left) {
    return "Stopped: " + Entries(removed) + " removed (all in the backup), " + std::to_string(left) +
           " left in place.";
}

constexpr char kScanStoppedElsewhere[] =
    "The scan was stopped by another program before it finished, so it has no results.\n"
    "Nothing was changed.";

} // namespace

namespace {

// The results tell how many entries the ignore list kept out, in the found column of a row of their own.
std::vector<std::vector<std::string>> WithIgnoredRow(std::vector<std::vector<std::string>> rows,
                                                     int ignored) {
    if (ignored > 0 && !rows.empty()) {
        std::vector<std::string> row(rows.front().size());
        row[0] = kIgnoredRow;
        row[2] = std::to_string(ignored);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

Summary::Summary(const ScanDialogOptions& options)
    : CSkinDialog(ScanDialogTemplate()), m_options(options),
      m_registryLib(*options.registry, *options.boxes) {
    m_registryLib.m_pfnProgress = &ReportProgress;
    m_shortcut.m_pfnProgress = &ReportProgress;
    m_shortcut.LimitToDrives(options.shortcutDrives);
    g_pSummary = this;
}

Summary::~Summary() {
    // The worker uses the members: it must be gone before they are.
    StopWorker();
    DeleteRows();
    CSkinDialog* self = this;
    g_pSummary.compare_exchange_strong(self, nullptr);
    ReleaseOpenFlag();
    Summary::Free();
}

bool Summary::LoadSkin(const std::string& skinPath) {
    Free();
    m_strSkinFile = skinPath;
    ReadErrorScanScreenInfo();
    if (!IsWindow()) {
        return false;
    }

    std::string dimension = CSkinIni(m_strSkinFile).GetValue("SCANSCREENANIMATION", "DIMENSION", "");
    const RECT rect = NextRect(dimension);
    if (m_animation.Create(kScanAnimationName, WS_CHILD | WS_VISIBLE, rect, Hwnd(), kScanAnimationId)) {
        m_animation.SetMovie(ResolveSkinPath("scan.swf"));
        m_animation.Play();
    }

    // A stop asked for an earlier run must not end this scan; one pressed from now on, even before the
    // worker reads its first key, reaches it.
    BeginRun();
    if (!StartWorker(&Summary::ScanThread)) {
        PostMessageA(Hwnd(), WM_FINISHSCAN, 0, 0); // no worker: the results of nothing
    }
    return true;
}

void Summary::Free() {
    m_listCtrl.Destroy();
    CSkinScreen::Free();
}

void Summary::ButtonPressed(const std::string& name) {
    if (ReviewButton(name)) {
        return;
    }
    if (name == "BUTTON_FIXERROR") {
        // Repair all: every finding still shown, so that what the review sent to the ignore list stays.
        if (m_screen == ScanScreen::ScanComplete && m_review) {
            m_review->TickAll(true);
            m_registryLib.m_fixSelection = m_review->FixSelection();
        }
        StartFix();
    } else if (name == "BUTTON_SCANAGAIN") {
        // Removing a class can leave entries that pointed at it: a second scan finds them.
        if (m_screen == ScanScreen::FixComplete && !WorkerRunning()) {
            LoadSkin(m_strSkinFile);
        }
    } else if (name == "BUTTON_CANCEL" || name == "BUTTON_OK") {
        CloseDialog();
    } else if (name == "BUTTON_STOPSCAN") {
        // The worker sees it at its next test and posts its completion message; nothing else happens here.
        RequestStop();
    }
}

void Summary::StartFix() {
    // Only the scan's results lead to a fix, and never beside a running worker, whatever screen a skin
    // puts the button on.
    if ((m_screen != ScanScreen::ScanComplete && m_screen != ScanScreen::Review) || WorkerRunning()) {
        return;
    }
    if (RefuseFixWithoutIgnoreList()) {
        return;
    }
    EnableButton("BUTTON_FIXERROR", false);
    m_listCtrl.Destroy();
    m_animation.Destroy();
    ReadErrorFixingScreenInfo();
    BeginRun(); // a new run: only a stop pressed from now on ends it
    if (!StartWorker(&Summary::FixThread)) {
        PostMessageA(Hwnd(), WM_FINISHFIXING, 0, 0);
    }
}

void Summary::OnFinishScan() {
    if (m_screen != ScanScreen::ErrorScan) {
        return; // not from this dialog's scan
    }
    // The worker posts just before it returns: this wait is short, and afterwards the rows are ours.
    WaitForWorker();
    m_animation.Stop();
    m_animation.Destroy();
    if (!m_bRunComplete) {
        if (!StopAskedHere()) {
            // Nobody here pressed Stop: the results would be those of part of the scan.
            m_options.boxes->Show(Hwnd(), kScanStoppedElsewhere, kBackupFailedCaption,
                                  MB_OK | MB_ICONINFORMATION);
            if (!IsWindow()) {
                return;
            }
        }
        AbortRun();
        return;
    }
    m_review.reset();
    ShowScanResults();
    ReportIgnoreListDamage();
    // The rows stay: the fix needs them.
}

void Summary::ShowScanResults() {
    ReadScanCompleteScreenInfo();
    FillResultsList(m_listCtrl,
                    WithIgnoredRow(ResultRows(m_arrScanErrors, m_shortcut, ResultsForm::ScanComplete),
                                   m_registryLib.m_nIgnored));
    const ResultTotals totals = SumResults(m_arrScanErrors, m_shortcut);
    SetText("TEXT_SCANCOMPLETE_ITEMSCANNED", std::to_string(totals.scanned));
    SetText("TEXT_SCANCOMPLETE_ERRORFOUND", std::to_string(totals.found));
    SetText("TEXT_SCREENSCANCOMPLETE_TITLE", ScanCompleteTitle(totals.found));
}

void Summary::OnFinishFixing() {
    if (m_screen != ScanScreen::ErrorFixing) {
        return;
    }
    WaitForWorker();
    if (m_registryLib.m_bBackupFailed && !ReportBackupFailure()) {
        return;
    }
    // A stopped fix still shows what it removed: everything removed is in the backup.
    const bool stopped = !m_bRunComplete;
    if (!m_registryLib.m_arrNotRemoved.empty()) {
        // Left in place on purpose; the user is told which and why, and they count as not fixed.
        std::string text = "These entries were left in place:";
        for (const std::string& entry : m_registryLib.m_arrNotRemoved) {
            text += "\n" + entry;
        }
        m_options.boxes->Show(Hwnd(), text, kBackupFailedCaption, MB_OK | MB_ICONINFORMATION);
        if (!IsWindow()) {
            return;
        }
    }
    ReadFixCompleteScreenInfo();
    FillResultsList(m_listCtrl,
                    WithIgnoredRow(ResultRows(m_arrScanErrors, m_shortcut, ResultsForm::FixComplete),
                                   m_registryLib.m_nIgnored));
    ShowFixTotals(stopped);
    DeleteRows();
}

void Summary::ShowFixTotals(bool stopped) {
    const ResultTotals totals = SumResults(m_arrScanErrors, m_shortcut);
    SetText("TEXT_FIXCOMPLETE_STATUS", stopped ? "Repair stopped" : "Fixed");
    if (stopped) {
        SetText("TEXT_FIXCOMPLETE_SUBTITLE",
                RepairStoppedText(totals.fixed, std::max(totals.found - totals.fixed, 0)));
    }
    SetText("TEXT_FIXCOMPLETE_ITEMSCANNED", std::to_string(totals.scanned));
    SetText("TEXT_FIXCOMPLETE_ERRORFOUND", std::to_string(totals.found));
    SetText("TEXT_FIXCOMPLETE_FIXED", std::to_string(totals.fixed));
}

bool Summary::ReportBackupFailure() {
    // The shortcuts are never moved after a failed backup: what was removed is registry entries only.
    const ResultTotals totals = SumResults(m_arrScanErrors, m_shortcut);
    const bool removedSome = totals.fixed > 0;
    const int left = std::max(totals.found - totals.fixed, 0);
    m_options.boxes->Show(Hwnd(), removedSome ? RepairCutShortText(totals.fixed, left) : kNothingRepaired,
                          kBackupFailedCaption, MB_OK | MB_ICONEXCLAMATION);
    if (!IsWindow()) {
        return false; // closed while the message was up
    }
    if (!removedSome) {
        // Nothing changed: a results screen saying "Fixed" would be wrong. The user can scan again.
        CloseDialog();
        return false;
    }
    return true;
}

void Summary::AbortRun() {
    m_listCtrl.Destroy();
    DeleteRows();
    ResetEvent(StopEvent());
    ReleaseOpenFlag();
    SetEvent(AbortEvent());
    Destroy();
}

void Summary::CloseDialog() {
    StopWorker();
    DeleteRows();
    Destroy();
    ReleaseOpenFlag();
}

void Summary::OnOK() {
    CloseDialog();
}

void Summary::OnCancel() {
    CloseDialog();
}

void Summary::OnPrepareToClose() {
    CloseDialog();
}

void Summary::DeleteRows() {
    m_arrScanErrors.clear();
}

void Summary::ReleaseOpenFlag() {
    // Once only: after a close, the flag may already belong to the next dialog.
    if (!m_bOpenFlagReleased) {
        m_bOpenFlagReleased = true;
        ScanDialogOpen = false;
    }
}

std::string Summary::TextOf(const std::string& name) const {
    const CSkinText* text = FindText(name);
    return text ? text->GetText() : std::string();
}

void Summary::OnPaint() {
    CSkinDialog::OnPaint();
    m_listCtrl.Invalidate(true);
}

std::optional<LRESULT> Summary::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
        if (const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            header != nullptr && header->hwndFrom == m_listCtrl.Hwnd()) {
            if (const std::optional<LRESULT> result = OnListNotify(*header)) {
                return result;
            }
        }
        return CSkinDialog::OnMessage(message, wParam, lParam);
    case WM_FINISHSCAN:
        OnFinishScan();
        return 0;
    case WM_FINISHFIXING:
        OnFinishFixing();
        return 0;
    case WM_PREPARETOCLOSE:
        OnPrepareToClose();
        return 0;
    case WM_PLAYFLASH:
        m_animation.Play();
        return 0;
    case WM_STOPFLASH:
        m_animation.Stop();
        return 0;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        // Only standard controls ask (the skinned ones draw themselves): the default brush on white.
        const LRESULT brush = DefWindowProcA(Hwnd(), message, wParam, lParam);
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return brush;
    }
    default:
        return CSkinDialog::OnMessage(message, wParam, lParam);
    }
}
