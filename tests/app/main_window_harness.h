#pragma once
// Running the main window in a test: modeless on the test's thread, with recorded message boxes and page
// operations that count what they were asked to do.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "support/recording_boxes.h"

namespace apptest {

using testsupport::RecordingBoxes;

// Sets the current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::string m_previous;
};

// The main dialog with its About box counted instead of shown, unless `realAboutBox` is set.
class TestMainDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    int aboutBoxes = 0;
    bool realAboutBox = false;
    bool trayAvailable = true; // false: adding the notification-area icon fails, as without a shell

protected:
    BOOL NotifyTray(DWORD operation) override {
        return operation != NIM_DELETE && !trayAvailable ? FALSE : CMainDlg::NotifyTray(operation);
    }
    void ShowAboutBox() override {
        ++aboutBoxes;
        if (realAboutBox) {
            CMainDlg::ShowAboutBox();
        }
    }
};

// What the pages asked the program to do.
struct CommandLog {
    int scansStarted = 0;
    bool scanStartFails = false;
    HWND scanPanel = nullptr;
    std::string scanSkinPath;
    int restores = 0;
    bool restoreResult = true;
    int schedulesAdded = 0;
    std::vector<ScheduleListRow> schedule;
    std::vector<int> deleted;
    int liveUpdates = 0;
    int supportPages = 0;
};

// Page operations that record into `log` (which must outlive them). A started scan gets an event as its
// "thread", so nothing waits on it.
PanelCommands RecordingCommands(CommandLog& log);

// Runs this thread's waiting messages until `done` is true or `timeoutMs` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
// Runs this thread's waiting messages for a short while.
void PumpFor(DWORD ms);

// Writes `text` as `folder`\skin\Skin.ini.
void WriteSkin(const std::string& folder, const std::string& text);

// The main window, modeless and shown, with the process-wide values reset first. `folder` is the current
// directory it starts in (it reads folder\skin\Skin.ini); empty means the repository, whose skin folder is
// the shipped skin. Without `recordCommands` the pages get no operations at all.
struct MainWindow {
    explicit MainWindow(bool scanAtStartup = false, const std::string& folder = "",
                        bool recordCommands = true);
    ~MainWindow();
    RecordingBoxes boxes;
    CommandLog log;
    CurrentDirectory directory;
    std::unique_ptr<TestMainDlg> dialog;
    bool open = false;
};

// The visible page's name, or "" when none or several are visible.
std::string VisiblePage(const CMainSkin& screen);

// The names of the main-screen buttons that are disabled.
std::vector<std::string> DisabledButtons(const CSkinScreen& screen);

// A click with the real mouse (moved there, pressed and released through the input queue) at the centre
// of `window`; waits until the input has been handled.
void ClickWithMouse(HWND window);

} // namespace apptest
