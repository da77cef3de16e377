#pragma once
// Ctrl+C and Ctrl+Break in the console tool: they stop the run in progress the way the window's Stop does
// (a fix after the entry in hand, so its backup holds everything removed) instead of ending the process,
// and the command then prints what it did and says it was stopped.
#include <windows.h>

namespace cli {

// Begins a run (see BeginRun) and catches Ctrl+C and Ctrl+Break for as long as it lives.
class ConsoleStop {
public:
    ConsoleStop();
    ~ConsoleStop();
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    // The console control handler: asks the run to stop on Ctrl+C and Ctrl+Break (TRUE: handled); any
    // other event (closing the console, logging off) goes to the next handler.
    static BOOL WINAPI OnControl(DWORD event);

private:
    bool m_installed = false;
};

} // namespace cli
