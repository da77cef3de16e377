#include "cli/console_stop.h"

#include "engine/scan_events.h"

namespace cli {

ConsoleStop::ConsoleStop() {
    BeginRun();
    m_installed = SetConsoleCtrlHandler(&ConsoleStop::OnControl, TRUE) != 0;
}

ConsoleStop::~ConsoleStop() {
    if (m_installed) {
        SetConsoleCtrlHandler(&ConsoleStop::OnControl, FALSE);
    }
}

BOOL WINAPI ConsoleStop::OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    RequestStop();
    return TRUE;
}

} // namespace cli
