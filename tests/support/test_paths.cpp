#include "support/test_paths.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace testsupport {
namespace {

std::string HostToWindows(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return "Z:" + path;
}

} // namespace

std::string SourcePath(const std::string& relative) {
    return HostToWindows(ORVALIN_SOURCE_DIR) + "\\" + relative;
}

std::string BinaryPath(const std::string& relative) {
    return HostToWindows(ORVALIN_BINARY_DIR) + "\\" + relative;
}

std::string UniqueName(const std::string& hint) {
    // Wine reuses process ids between runs, so the performance counter keeps names apart across runs too.
    static std::atomic<int> counter{0};
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    char buf[96];
    std::snprintf(buf, sizeof buf, "_%lu_%llx_%d", GetCurrentProcessId(),
                  static_cast<unsigned long long>(now.QuadPart), ++counter);
    return "OrvalinTest_" + hint + buf;
}

std::string MakeTempFolder(const std::string& hint) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(sizeof tmp, tmp);
    std::string folder = std::string(tmp) + UniqueName(hint);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

} // namespace testsupport
