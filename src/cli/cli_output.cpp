#include "cli/cli_output.h"

#include "cli/commands.h"

#include <windows.h>

#include <cstdio>

namespace cli {

void PrintError(const std::string& message) {
    std::fprintf(stderr, "orvalin-cli: %s\n", message.c_str());
}

int UsageError(const std::string& message) {
    PrintError(message + " (see orvalin-cli --help)");
    return kExitUsage;
}

namespace {

std::string ToUtf8(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : ToUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

} // namespace cli
