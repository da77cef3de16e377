// The scan and fix workers of the scan dialog and the progress they report.
#include "backup/restore_point.h"
#include "base/com.h"
#include "engine/scan_events.h"
#include "run/scan_and_fix.h"
#include "scan_dialog/backup_folder.h"
#include "scan_dialog/results_list.h"
#include "scan_dialog/summary.h"
#include "skin/app_state.h"

namespace {

// Ten times a second: as fast as a person reads changing numbers. Each repaint of the progress texts costs
// the dialog's thread several server calls, which the scan shares the server with.
constexpr ULONGLONG kProgressRepaintMs = 100;

// Sets a flag for as long as it lives, even when the work in between throws.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

// Runs one worker body: shortcuts are COM objects, so the worker joins COM for its run. Anything thrown
// ends the run and is reported once; the completion message is posted in every case.
template <typename Body>
DWORD RunWorker(Summary& dialog, base::MessageBoxes& boxes, Body body, const char* failure,
                const char* caption, UINT completion) {
    {
        const base::ComScope com;
        try {
            body();
        } catch (...) {
            boxes.Show(GetActiveWindow(), failure, caption, MB_OK);
        }
    }
    PostMessageA(dialog.Hwnd(), completion, 0, 0);
    return 0;
}

// The window's run: every fixed drive (or the test drives).
run::Plan WindowPlan(const ScanDialogOptions& options) {
    run::Plan plan;
    plan.drives = options.shortcutDrives;
    return plan;
}

} // namespace

bool Summary::WorkerRunning() const {
    return m_hWorkerThread && WaitForSingleObject(m_hWorkerThread.Get(), 0) == WAIT_TIMEOUT;
}

bool Summary::StartWorker(LPTHREAD_START_ROUTINE routine) {
    if (WorkerRunning()) {
        return false; // one worker at a time
    }
    DWORD id = 0;
    m_bRunComplete = true;
    const HANDLE thread = CreateThread(nullptr, 0, routine, this, 0, &id);
    if (!thread) {
        return false;
    }
    m_hWorkerThread.Reset(thread);
    m_dwWorkerThreadId = id;

    return true;
}

void Summary::WaitForWorker() {
    if (m_hWorkerThread) {
        WaitForSingleObject(m_hWorkerThread.Get(), INFINITE);
    }
}

void Summary::StopWorker() {
    if (!WorkerRunning()) {
        return;
    }
    RequestStop();
    WaitForWorker();
}

DWORD WINAPI Summary::ScanThread(LPVOID param) {
    auto& dialog = *static_cast<Summary*>(param);
    return RunWorker(
        dialog, *dialog.m_options.boxes, [&dialog] { dialog.RunScan(); }, "Error Occured while scanning",
        "Scan thread", WM_FINISHSCAN);
}

DWORD WINAPI Summary::FixThread(LPVOID param) {
    auto& dialog = *static_cast<Summary*>(param);
    return RunWorker(
        dialog, *dialog.m_options.boxes, [&dialog] { dialog.FixError(); }, "Error Occured while Fixing",
        "Fix thread", WM_FINISHFIXING);
}

void Summary::RunScan() {
    run::Plan plan = WindowPlan(m_options);
    plan.ignoreList = &m_ignoreList;
    m_bRunComplete = run::Scan(m_registryLib, m_shortcut, plan, m_arrScanErrors);
}

void Summary::FixError() {
    const std::string backupFile = BackupPathIn(m_options.backupFolder);
    // Before the first removal; where none can be made the fix goes on and the screen says so.
    backup::RestorePoint restorePoint("Orvalin registry fix");
    if (!restorePoint.Made()) {
        SetText("TEXT_ERRORFIXING_STATUS", "No restore point was made: " + restorePoint.Problem());
    }
    // The progress texts pause only while the registry part runs.
    const FlagScope pausing(m_bPauseAfterProgress);
    m_bRunComplete =
        run::Fix(m_registryLib, m_shortcut, WindowPlan(m_options), m_arrScanErrors, backupFile,
                 [this](run::FixStage stage) { m_bPauseAfterProgress = stage == run::FixStage::Registry; });
    // A point for a fix that removed nothing would only take the place of a later one (Windows makes at
    // most one a day for programs).
    if (SumResults(m_arrScanErrors, m_shortcut).fixed == 0) {
        restorePoint.Cancel();
    }
}

void Summary::OnProgress(const std::string& item, const std::string& status, int scanned, int found) {
    // Shown when the status changes and otherwise at most ten times a second: under Wine each invalidation
    // from this thread is a server call, and six of them for every item made the scan in the window several
    // times slower than the same scan without it. The fix pauses after each entry so that it can be read, so
    // there every entry is shown. SetText stores under a lock and never waits for the dialog's thread.
    const bool pausing = m_bPauseAfterProgress && m_options.fixPauseMs > 0;
    const ULONGLONG now = GetTickCount64();
    if (pausing || status != m_strProgressStatus || now - m_ullProgressShown >= kProgressRepaintMs) {
        m_ullProgressShown = now;
        m_strProgressStatus = status;
        SetText("TEXT_ERRORSCAN_CURRENTITEM", item);
        SetText("TEXT_ERRORSCAN_STATUS", status);
        SetText("TEXT_ERRORSCAN_ITEMSCANNED", std::to_string(scanned));
        SetText("TEXT_ERRORSCAN_ERRORFOUND", std::to_string(found));
        SetText("TEXT_ERRORFIXING_CURRENTITEM", item);
        SetText("TEXT_ERRORFIXING_STATUS", status);
    }
    if (pausing) {
        // Long enough to read what is being fixed; a stop (or a closing window) ends the pause at once.
        WaitForStop(m_options.fixPauseMs);
    }
}

void ReportProgress(std::string item, std::string status, int scanned, int found) {
    if (auto* summary = dynamic_cast<Summary*>(g_pSummary.load())) {
        summary->OnProgress(item, status, scanned, found);
    }
}
