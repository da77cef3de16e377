#include "engine/wow64_path.h"

#include <windows.h>

#include <string.h>

namespace engine {
namespace {

bool EndsWithNoCase(const std::string& text, size_t end, const std::string& tail) {
    return !tail.empty() && end >= tail.size() &&
           _strnicmp(text.c_str() + end - tail.size(), tail.c_str(), tail.size()) == 0;
}

void ReplaceAllNoCase(std::string& text, const std::string& from, const std::string& to) {
    for (size_t pos = 0; pos + from.size() <= text.size();) {
        if (_strnicmp(text.c_str() + pos, from.c_str(), from.size()) == 0) {
            text.replace(pos, from.size(), to);
            pos += to.size();
        } else {
            ++pos;
        }
    }
}

} // namespace

std::string ThirtyTwoBitReading(const std::string& text, const std::string& windowsDir,
                                const std::string& wow64Dir) {
    if (wow64Dir.empty()) {
        return text;
    }
    std::string result = text;
    ReplaceAllNoCase(result, "%ProgramFiles%", "%ProgramFiles(x86)%");
    ReplaceAllNoCase(result, "%CommonProgramFiles%", "%CommonProgramFiles(x86)%");

    // "\System32" as a whole folder name right after the Windows folder; System32 elsewhere (a program's
    // own folder of that name) is not redirected.
    constexpr char kSystem32[] = "\\system32";
    constexpr size_t kLength = sizeof kSystem32 - 1;
    for (size_t pos = 0; pos + kLength <= result.size(); ++pos) {
        if (_strnicmp(result.c_str() + pos, kSystem32, kLength) != 0) {
            continue;
        }
        const char next = pos + kLength < result.size() ? result[pos + kLength] : '\0';
        const bool wholeName = next == '\0' || next == '\\' || next == '"' || next == ' ' || next == ',';
        const bool underWindows = EndsWithNoCase(result, pos, windowsDir) ||
                                  EndsWithNoCase(result, pos, "%SystemRoot%") ||
                                  EndsWithNoCase(result, pos, "%windir%");
        if (wholeName && underWindows) {
            result.replace(pos + 1, kLength - 1, "SysWOW64");
        }
    }
    if (result.find('\\') == std::string::npos && result.find('%') == std::string::npos) {
        // Quotes around a bare name stay outside the folder that is put in front of it.
        const size_t start = !result.empty() && result[0] == '"' ? 1 : 0;
        result.insert(start, wow64Dir + "\\");
    }
    return result;
}

std::string SystemWow64Directory() {
    char dir[MAX_PATH + 1] = {};
    const UINT n = GetSystemWow64DirectoryA(dir, sizeof dir);
    return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

} // namespace engine
