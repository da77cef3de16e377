#pragma once
// One page of the main window ("SUBMAIN_MAIN", "SUBMAIN_SCHEDULE", ...): a child window with its own four
// pictures, skinned buttons and texts and, when its skin asks for one, the list of scheduled scans.
// The page is a plain static window without SS_NOTIFY, so a press on its background reaches the main
// window, which drags itself; its buttons and its list take their input as usual.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/message_box.h"
#include "base/unique_handle.h"
#include "skin/skin_screen.h"
#include "winui/report_view.h"
#include "winui/window.h"

class CSkinIni;

// One row of the schedule list: its number, the schedule in words, the last run.
struct ScheduleListRow {
    std::string number;
    std::string description;
    std::string lastRun;
};

// What the pages' buttons reach outside the skin engine: the scan dialog, the restore, the scheduler and
// the shell. The application fills in what it has; a button whose operation is empty does nothing.
struct PanelCommands {
    // Starts the scan dialog's thread for a page window with the skin file's path; returns the thread's
    // handle, empty when no thread started.
    std::function<base::KernelHandle(HWND panel, const std::string& skinPath)> startScanDialog;
    // Puts the registry back from a backup file; true on success.
    std::function<bool(HWND panel)> restoreRegistry;
    // The Add Schedule dialog, modal.
    std::function<void(HWND panel)> addSchedule;
    // The scheduled scans of the user's work item, one row each.
    std::function<std::vector<ScheduleListRow>()> listSchedule;
    // Deletes the schedule shown at a row position (0 = first row), only when that row still shows the
    // given schedule text; true on success.
    std::function<bool(int position, const std::string& description)> deleteSchedule;
    // Starts the live-update program. Empty when it started (the application then quits), otherwise what
    // the user is told; the application then goes on.
    std::function<std::string()> startLiveUpdate;
    // Opens the support web page. Empty when it opened, otherwise what the user is told.
    std::function<std::string()> openSupportPage;
};

// Control id of the schedule list.
inline constexpr UINT kScheduleListId = 1010;
// Exit code of the program after it handed over to the live-update program.
inline constexpr int kLiveUpdateExitCode = 18;

class CSubMainSkin : public winui::Control, public CSkinScreen {
public:
    // `boxes` and `commands` belong to the main screen and outlive the page. Makes this the last page
    // (LastSubScreen) and forgets any scan dialog (g_pSummary).
    CSubMainSkin(base::MessageBoxes& boxes, const PanelCommands& commands);
    // Frees the page and, when a scan dialog is open, cancels it and waits up to 10 s for its thread.
    ~CSubMainSkin() override;

    // A visible static child of `parent` with an empty caption and control id 0.
    bool Create(const RECT& rect, HWND parent);

    // Loads the page's four pictures (full paths) in the order normal, over, down, disabled.
    void SetImages(const RECT& rect, const std::string& normal, const std::string& over,
                   const std::string& down, const std::string& disabled);

    // The page's own sections: its name in upper case + "_BUTTONINFO", "_TEXTINFO", "_LISTINFO".
    void ReadButtonInfo(const CSkinIni& ini);
    void ReadTextInfo(const CSkinIni& ini);
    void ReadListInfo(const CSkinIni& ini);
    // The name the sections are read under: the page's name in upper case.
    std::string SectionName() const;

    // The page's buttons: "BUTTON_SCAN", "BUTTON_RESTORE", "BUTTON_ADDSCHEDULE", "BUTTON_DELETESCHEDULE",
    // "BUTTON_RUNUPDATE", "BUTTON_SUPPORT"; any other name does nothing.
    void ButtonPressed(const std::string& name) override;

    // Refills the schedule list, when the page has one.
    void RefreshScheduleList();

    // The container's Free, then the schedule list.
    void Free() override;

    winui::ReportView* ScheduleList() const { return m_pScheduleList.get(); }
    HANDLE ScanThread() const { return m_hScanThread.Get(); }

    using CSkinScreen::ReadButtonInfo;
    using CSkinScreen::ReadTextInfo;
    using CSkinScreen::SetText;

protected:
    void OnAttached() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void StartScan();
    void Restore();
    void DeleteSchedule();
    void RunUpdate();
    void CancelScanDialog();

    base::MessageBoxes& m_boxes;
    const PanelCommands& m_commands;
    base::KernelHandle m_hScanThread;
    std::unique_ptr<winui::ReportView> m_pScheduleList;
};

// Sends WM_PREPARETOCLOSE to every descendant of `window` that has a window object of this program.
void PrepareDescendantsToClose(HWND window);
