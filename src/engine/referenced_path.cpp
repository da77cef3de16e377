// NormalizeReferencedPath: registry data (a command line, a path with variables, a bare file name) turned
// into the path of the file it refers to.
#include "engine/registry_lib.h"

#include <vector>

namespace {

// Expands one "%NAME%" reference; the text unchanged when the call fails. An unknown variable stays as
// written.
std::string Expand(const std::string& reference) {
    std::vector<char> buffer(256);
    DWORD needed =
        ExpandEnvironmentStringsA(reference.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed > buffer.size()) {
        // Longer than the usual 255 characters: ask again with the size the call asked for.
        buffer.resize(needed);
        needed =
            ExpandEnvironmentStringsA(reference.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (needed == 0 || needed > buffer.size()) {
        return reference;
    }
    return std::string(buffer.data());
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

// Cuts the text before the first occurrence of `mark`, unless it starts the text.
void CutAt(std::string& text, const char* mark) {
    const size_t pos = text.find(mark);
    if (pos != std::string::npos && pos > 0) {
        text.erase(pos);
    }
}

} // namespace

std::string CRegistryLib::NormalizeReferencedPath(const std::string& text, PathFamily family,
                                                  const std::string& valueName) const {
    std::string path;
    path.reserve(text.size() + m_strWindowsDir.size() + 8);
    for (const char c : text) {
        if (c != '"') {
            path += c;
        }
    }
    CutAt(path, "/");  // a switch such as /automation
    CutAt(path, " -"); // a switch such as -Embedding

    if (const size_t open = path.find('%'); open != std::string::npos) {
        const size_t close = path.find('%', open + 1);
        if (close != std::string::npos) {
            const std::string reference = path.substr(open, close - open + 1);
            ReplaceAll(path, reference, Expand(reference));
        }
    } else if (path.find('\\') == std::string::npos) {
        // A bare file name lives in the family's base directory.
        path.insert(0, family == PathFamily::Fonts ? m_strWindowsDir + "\\fonts\\" : m_strSystemDir + "\\");
    }
    if (family == PathFamily::Help) {
        path += valueName;
    }
    return path;
}
