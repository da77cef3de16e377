#include "app/main_app.h"

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "app/main_dlg.h"
#include "app/panel_commands.h"
#include "skin/app_state.h"

bool IsScanCommandLine(const char* commandLine) {
    return commandLine && std::strcmp(commandLine, "scan") == 0;
}

int CMainApp::Run(const char* commandLine) {
    ScanAtStartup = IsScanCommandLine(commandLine);

    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    {
        CMainDlg dialog(base::SystemMessageBoxes(), MakePanelCommands());
        dialog.RunModal(nullptr);
    }

    // A quit posted while the dialog ran (the live-update hand-over) ended its loop; its code is ours.
    MSG quit;
    if (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return static_cast<int>(quit.wParam);
    }
    return 0;
}
