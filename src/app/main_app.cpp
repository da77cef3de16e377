#include "app/main_app.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "app/main_dlg.h"
#include "app/panel_commands.h"
#include "app/single_instance.h"
#include "base/elevation.h"
#include "skin/app_state.h"

bool IsScanCommandLine(const char* commandLine) {
    return commandLine && std::strcmp(commandLine, "scan") == 0;
}

int CMainApp::Run(const char* commandLine) {
    ScanAtStartup = IsScanCommandLine(commandLine);

    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string process = base::ProcessAccount();
    // One copy per user: a second start brings the first forward (asking it to scan) and ends, so that two
    // copies never scan and fix at the same time.
    const std::string instance = InstanceName(process);
    const SingleInstance single(instance);
    if (!single.First()) {
        for (int attempt = 0; attempt < 50 && !HandOver(instance, ScanAtStartup); ++attempt) {
            Sleep(100); // the first copy's window may still be opening
        }
        return 0;
    }

    // Elevated with an administrator's password typed by another user: the registry's current-user part is
    // the administrator's, which the user is told before any scan.
    const std::string session = base::SessionAccount();
    if (base::IsOtherAccount(process, session)) {
        base::SystemMessageBoxes().Show(nullptr,
                                        "Orvalin runs as " + process + ", not as " + session +
                                            " who is logged on.\nIts scans and fixes see " + process +
                                            "'s own entries (HKEY_CURRENT_USER), not " + session + "'s.",
                                        "Orvalin", MB_ICONINFORMATION);
    }

    {
        CMainDlg dialog(base::SystemMessageBoxes(), MakePanelCommands());
        dialog.SetInstanceName(instance);
        dialog.RunModal(nullptr);
    }

    // A quit posted while the dialog ran (the live-update hand-over) ended its loop; its code is ours.
    MSG quit;
    if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return static_cast<int>(quit.wParam);
    }
    return 0;
}
