#include "cli/cli_output.h"

#include "base/wide_text.h"
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
    return base::Narrow(base::Widen(text), CP_UTF8);
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
