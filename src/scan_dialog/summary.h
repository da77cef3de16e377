#pragma once
// Summary: the window of one scan-and-fix run. It shows four screens in turn, each laid out from the skin:
// the scan's progress with its animation, the scan's results, the fix's progress and the fix's results.
// It runs the scan and the fix on a worker thread (one at a time) and hears from the worker through the
// progress callback and two posted completion messages.
//
// Threads: everything here runs on the dialog's own thread except RunScan, FixError and ReportProgress,
// which run on the worker. The worker uses the engine, the shortcut scanner and the summary rows alone
// while it runs; the dialog touches them only after it has waited for the worker's handle. Every way of
// closing first stops and waits for a running worker, and clears ScanDialogOpen.
#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "base/message_box.h"
#include "base/unique_handle.h"
#include "engine/ignore_list.h"
#include "engine/records.h"
#include "engine/registry_api.h"
#include "engine/registry_lib.h"
#include "scan_dialog/review_model.h"
#include "shortcuts/shortcut.h"
#include "skin/shockwave_flash.h"
#include "skin/skin_dialog.h"
#include "winui/report_view.h"

// What a scan dialog uses from outside. The program takes the defaults; tests inject their own.
struct ScanDialogOptions {
    engine::RegistryApi* registry = &engine::Win32Registry();
    base::MessageBoxes* boxes = &base::SystemMessageBoxes();
    // Pause after each fixed registry entry, so that the progress texts can be read; a stop cuts it short.
    DWORD fixPauseMs = 100;
    // Drive letters the shortcut scan walks; empty for every fixed drive.
    std::string shortcutDrives;
    // Folder of the fix's backup, created when first needed; empty for the current directory.
    std::string backupFolder;
};

// The screens, in the order a complete run shows them. None: no screen has been built yet.
// Review: the findings one by one, reached from the scan-complete screen. Ignored: the ignore list,
// reached from the review.
enum class ScanScreen { None, ErrorScan, ScanComplete, ErrorFixing, FixComplete, Review, Ignored };

// What the worker posts the dialog when its scan, or its fix, has ended.
inline constexpr UINT WM_FINISHSCAN = WM_USER + 0x67;
inline constexpr UINT WM_FINISHFIXING = WM_USER + 0x68;

// Control id and window name of the scan animation.
inline constexpr UINT kScanAnimationId = 1009;
inline constexpr char kScanAnimationName[] = "SHOCKWAVE2";

class Summary : public CSkinDialog {
public:
    // Builds the members and makes this the open scan dialog (g_pSummary).
    explicit Summary(const ScanDialogOptions& options = {});
    // Stops a worker that still runs, deletes the rows, and stops being the open scan dialog.
    ~Summary() override;

    // The window that started the dialog (a page of the main window); only remembered.
    void SetParentWindow(HWND parent) { m_hParent = parent; }

    // Builds the error-scan screen from the skin file, starts the animation and the scan worker. False
    // when the skin yields no error-scan screen: the dialog then has no window and no worker.
    bool LoadSkin(const std::string& skinPath);

    // The skinned buttons: "BUTTON_FIXERROR", "BUTTON_CANCEL", "BUTTON_OK", "BUTTON_STOPSCAN".
    void ButtonPressed(const std::string& name) override;

    // The screen's controls and pictures, and the results list's window.
    void Free() override;

    // --- state, for the program's pages and for tests ---
    ScanScreen Screen() const { return m_screen.load(); }
    const std::string& ScreenName() const { return m_strScreenName; }
    const std::string& SkinFile() const { return m_strSkinFile; }
    // True while a worker thread runs.
    bool WorkerRunning() const;
    HANDLE WorkerThread() const { return m_hWorkerThread.Get(); }
    const winui::ReportView& ResultsList() const { return m_listCtrl; }
    CShockwaveFlash& Animation() { return m_animation; }
    const ScanErrorList& ScanErrors() const { return m_arrScanErrors; }
    CRegistryLib& Engine() { return m_registryLib; }
    CShortcut& Shortcuts() { return m_shortcut; }
    // The text of the current screen's first text of that name; empty when there is none.
    std::string TextOf(const std::string& name) const;
    // The review of the last scan's findings; null before the review screen was first opened.
    const ReviewModel* Review() const { return m_review ? &*m_review : nullptr; }
    // The review's tick of one row turned over, as a click on its box or Space does.
    void ToggleReviewRow(int row);

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    // Enter and Esc.
    void OnOK() override;
    void OnCancel() override;

private:
    friend void ReportProgress(std::string item, std::string status, int scanned, int found);

    // --- screens, from the skin file ---
    void ReadErrorScanScreenInfo();
    void ReadScanCompleteScreenInfo();
    void ReadErrorFixingScreenInfo();
    void ReadFixCompleteScreenInfo();
    void ReadButtonInfo(const std::string& section);
    void ReadTextInfo(const std::string& section);
    void ReadListViewInfo(const std::string& section);

    // --- the runs (worker thread) ---
    void RunScan();
    void FixError();
    static DWORD WINAPI ScanThread(LPVOID dialog);
    static DWORD WINAPI FixThread(LPVOID dialog);
    // The progress callback's work for this dialog (worker thread): the six progress texts, then the
    // fix pause when the registry fix is running.
    void OnProgress(const std::string& item, const std::string& status, int scanned, int found);

    // --- the review and ignored screens (review_screen.cpp) ---
    // A screen of the skin sections `prefix`INFO, _BUTTONINFO, _TEXTINFO and _LISTINFO, whose list is the
    // virtual list with ticks.
    void ReadTickListScreen(const std::string& prefix, ScanScreen screen);
    // Opens the review (from the results) with `row` shown and focused.
    void OpenReview(std::size_t row);
    void ShowReview(std::size_t row);
    void OpenIgnored();
    // Back to the scan's results.
    void ShowScanResults();
    // The rows of the review or ignored screen shown; null on any other screen.
    TickedRows* ShownRows();
    bool ReviewButton(const std::string& name);
    void IgnoreTickedRows();
    void TakeBackTickedRows();
    void RefreshReview();
    void ShowSelection(const TickedRows& rows);
    // One message naming the ignore entries the last scan skipped as damaged, and a list it could not read.
    void ReportIgnoreListDamage();
    // True, after saying so, when the ignore list was not read whole: no repair may then start.
    bool RefuseFixWithoutIgnoreList();
    std::optional<LRESULT> OnListNotify(const NMHDR& header);

    void OnFinishScan();
    void OnFinishFixing();
    void OnPrepareToClose();
    void StartFix();
    // Every close: stops a running worker and waits for it, deletes the rows, destroys the window and
    // clears ScanDialogOpen.
    void CloseDialog();
    // A scan ended by a stop: no results, the abort event set, the window closed (after a word when the
    // stop came from another program).
    void AbortRun();
    // The fix-complete screen's texts; a stopped fix says so and how much it left in place.
    void ShowFixTotals(bool stopped);
    // The fix could not write its backup: says so, then closes or shows what was fixed.
    bool ReportBackupFailure();
    // Asks the run in progress to stop and waits for a running worker to end (a fix: the entry in hand).
    void StopWorker();
    void WaitForWorker();
    bool StartWorker(LPTHREAD_START_ROUTINE routine);
    void DeleteRows();
    // Clears ScanDialogOpen once: the close paths and, for any other end, the destructor.
    void ReleaseOpenFlag();
    // Common part of the four screen readers: the first entry of the screen section.
    bool ReadScreen(const std::string& screenSection, const std::string& buttonSection,
                    const std::string& textSection, const std::string& listSection, ScanScreen screen);

    ScanDialogOptions m_options;
    std::string m_strScreenName;
    int m_nScreenIndex = -1;
    std::atomic<ScanScreen> m_screen{ScanScreen::None};
    HWND m_hParent = nullptr;
    RECT m_rcScreen{};
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    std::string m_strSkinFile;
    CShockwaveFlash m_animation;
    CRegistryLib m_registryLib;
    std::optional<ReviewModel> m_review;   // made from the engine's findings when the review first opens
    std::optional<IgnoredModel> m_ignored; // while the ignored screen shows
    engine::IgnoreList m_ignoreList;       // read again by each scan
    DWORD m_dwWorkerThreadId = 0;
    base::KernelHandle m_hWorkerThread;
    winui::ReportView m_listCtrl;
    CShortcut m_shortcut;
    ScanErrorList m_arrScanErrors;
    bool m_bOpenFlagReleased = false;
    bool m_bPauseAfterProgress = false; // worker thread only: the registry fix is running
    // Written by the worker, read after waiting for it: false when a stop cut the last scan or fix short.
    bool m_bRunComplete = true;
    // Worker thread only: when the progress texts were last repainted, and the status they showed.
    ULONGLONG m_ullProgressShown = 0;
    std::string m_strProgressStatus;
};

// The progress callback of the engine and the shortcut scanner: reaches the open scan dialog through
// g_pSummary; does nothing when no dialog is open. Never waits for the dialog's thread.
void ReportProgress(std::string item, std::string status, int scanned, int found);
