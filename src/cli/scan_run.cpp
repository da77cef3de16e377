#include "cli/scan_run.h"

#include <cstdio>

namespace cli {
namespace {

constexpr size_t kRegistryFamilies = 5;

// The progress callback is a plain function, so it keeps no state: it redraws the line only for every
// 64th item (and the first of each family), which keeps the console from slowing the scan down.
void PrintProgress(std::string /*item*/, std::string status, int scanned, int found) {
    if (scanned % 64 != 1) {
        return;
    }
    std::fprintf(stderr, "\r%-24s %9d scanned %7d found ", status.c_str(), scanned, found);
    std::fflush(stderr);
}

void EraseProgress() {
    std::fprintf(stderr, "\r%60s\r", "");
    std::fflush(stderr);
}

// Installs the console progress line for the length of one scan, even when the scan throws.
class ProgressLine {
public:
    ProgressLine(CRegistryLib& engine, bool show)
        : m_engine(engine), m_previous(engine.m_pfnProgress), m_show(show) {
        if (m_show) {
            m_engine.m_pfnProgress = PrintProgress;
        }
    }
    ~ProgressLine() {
        m_engine.m_pfnProgress = m_previous;
        if (m_show) {
            EraseProgress();
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    CRegistryLib& m_engine;
    const ScanProgressProc m_previous;
    const bool m_show;
};

} // namespace

void RunScan(CRegistryLib& engine, ScanErrorList& rows, bool showProgress) {
    const ProgressLine progress(engine, showProgress);
    rows.clear();
    engine.ScanRegistry(rows);
}

bool ScanCompleted(const ScanErrorList& rows) {
    return rows.size() == kRegistryFamilies;
}

bool StderrIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace cli
