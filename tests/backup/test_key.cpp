#include "backup/test_key.h"

#include "support/test_paths.h"

namespace backuptest {

TestKey::TestKey(const std::string& hint) : m_subPath("Software\\" + testsupport::UniqueName(hint)) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_subPath += "_" + std::to_string(now.QuadPart); // process ids repeat under Wine
    RegDeleteTreeA(HKEY_CURRENT_USER, m_subPath.c_str());
}

TestKey::~TestKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_subPath.c_str());
}

bool TestKey::Set(const std::string& relative, const char* name, DWORD type, const std::string& bytes) const {
    HKEY key = nullptr;
    const std::string path = relative.empty() ? m_subPath : m_subPath + "\\" + relative;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc = name == nullptr && type == REG_NONE && bytes.empty()
                        ? ERROR_SUCCESS
                        : RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                         static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool TestKey::Exists(const std::string& relative) const {
    HKEY key = nullptr;
    const std::string path = relative.empty() ? m_subPath : m_subPath + "\\" + relative;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

Snapshot TestKey::Take() const {
    return TakeSnapshot(engine::Win32Registry(), HKEY_CURRENT_USER, m_subPath);
}

namespace {

void Collect(HKEY key, const std::string& path, std::vector<std::pair<std::string, std::string>>& out) {
    std::vector<char> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        out.emplace_back(path,
                         length == 0 ? std::string(kDefaultValueName) : std::string(name.data(), length));
    }
    for (DWORD i = 0;; ++i) {
        char child[512];
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Collect(sub, path + "\\" + std::string(child, length), out);
            RegCloseKey(sub);
        }
    }
}

} // namespace

std::vector<std::pair<std::string, std::string>> ValuesBelow(const std::string& rootName, HKEY root,
                                                             const std::string& subPath) {
    std::vector<std::pair<std::string, std::string>> out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Collect(key, rootName + "\\" + subPath, out);
        RegCloseKey(key);
    }
    return out;
}

} // namespace backuptest
