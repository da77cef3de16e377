#pragma once
// The application: reads the command line, runs the main window modally and ends when it closes.

// True when the command-line text after the program name is exactly "scan" (byte for byte, so "Scan",
// " scan" and "scan x" do not count).
bool IsScanCommandLine(const char* commandLine);

class CMainApp {
public:
    // Sets ScanAtStartup from `commandLine`, runs the main dialog modally and returns the program's exit
    // code: 0, or the code of a quit requested while the window ran (18 after the live-update hand-over).
    int Run(const char* commandLine);
};
