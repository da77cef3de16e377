#include "main_window_harness.h"

#include <fstream>

#include "skin/app_state.h"
#include "support/test_paths.h"
#include "winui/message_loop.h"

namespace apptest {

CurrentDirectory::CurrentDirectory(const std::string& folder) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    m_previous = previous;
    SetCurrentDirectoryA(folder.c_str());
}

CurrentDirectory::~CurrentDirectory() {
    SetCurrentDirectoryA(m_previous.c_str());
}

PanelCommands RecordingCommands(CommandLog& log) {
    PanelCommands commands;
    commands.startScanDialog = [&log](HWND panel, const std::string& skinPath) {
        ++log.scansStarted;
        log.scanPanel = panel;
        log.scanSkinPath = skinPath;
        if (log.scanStartFails) {
            return base::KernelHandle();
        }
        return base::KernelHandle(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    };
    commands.restoreRegistry = [&log](HWND) {
        ++log.restores;
        return log.restoreResult;
    };
    commands.addSchedule = [&log](HWND) {
        ++log.schedulesAdded;
        log.schedule.push_back({std::to_string(log.schedule.size() + 1), "Daily at 10:00", "Never"});
    };
    commands.listSchedule = [&log] { return log.schedule; };
    commands.deleteSchedule = [&log](int position, const std::string&) {
        log.deleted.push_back(position);
        if (position >= 0 && static_cast<size_t>(position) < log.schedule.size()) {
            log.schedule.erase(log.schedule.begin() + position);
        }
        return true;
    };
    commands.startLiveUpdate = [&log] { return ++log.liveUpdates, std::string(); };
    commands.openSupportPage = [&log] { return ++log.supportPages, std::string(); };
    return commands;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        winui::PumpWaitingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

void WriteSkin(const std::string& folder, const std::string& text) {
    const std::string skinFolder = folder + "\\skin";
    CreateDirectoryA(skinFolder.c_str(), nullptr);
    std::ofstream(skinFolder + "\\Skin.ini", std::ios::binary) << text;
}

MainWindow::MainWindow(bool scanAtStartup, const std::string& folder, bool recordCommands)
    : directory(folder.empty() ? testsupport::SourcePath("") : folder) {
    ScanAtStartup = scanAtStartup;
    ScanDialogOpen = false;
    g_pSummary = nullptr;
    dialog = std::make_unique<TestMainDlg>(boxes, recordCommands ? RecordingCommands(log) : PanelCommands{});
    open = dialog->CreateModeless(nullptr) && dialog->IsWindow();
    if (open) {
        dialog->Show(SW_SHOW);
        SetForegroundWindow(dialog->Hwnd());
        PumpFor(50);
    }
}

MainWindow::~MainWindow() {
    dialog.reset();
    winui::PumpWaitingMessages();
    ScanAtStartup = false;
    ScanDialogOpen = false;
}

std::string VisiblePage(const CMainSkin& screen) {
    std::string visible;
    int count = 0;
    for (const auto& page : screen.SubScreens()) {
        if (page->IsVisible()) {
            visible = page->Name();
            ++count;
        }
    }
    return count == 1 ? visible : std::string();
}

std::vector<std::string> DisabledButtons(const CSkinScreen& screen) {
    std::vector<std::string> names;
    for (const auto& button : screen.Buttons()) {
        if (!button->IsEnabled()) {
            names.push_back(button->Name());
        }
    }
    return names;
}

void ClickWithMouse(HWND window) {
    // The input goes to the window under the cursor only once its top-level window is in front.
    const HWND top = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(top);
    PumpUntil([top] { return GetForegroundWindow() == top; }, 2000);
    // The X server moves the cursor asynchronously: press only once the cursor stays on the window and a
    // skinned button there has seen the mouse arrive.
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT target{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const auto* button = dynamic_cast<const CSkinButton*>(winui::Window::FromHandle(window));
    for (int attempt = 0; attempt < 40; ++attempt) {
        SetCursorPos(target.x, target.y);
        PumpFor(50);
        POINT at{};
        GetCursorPos(&at);
        if (at.x == target.x && at.y == target.y && WindowFromPoint(at) == window &&
            (!button || !button->IsEnabled() || button->IsHovered())) {
            break;
        }
    }
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

} // namespace apptest
