#include "demo_writer.h"

#include <cstdio>

namespace seed {

DemoWriter::~DemoWriter() {
    if (m_open != nullptr) {
        RegCloseKey(m_open);
    }
}

void DemoWriter::Fail(const std::string& what, LONG code) {
    // Only the first few failures are printed; the total decides the exit code.
    if (++m_failures <= 10) {
        std::fprintf(stderr, "orvalin-seed: %s failed (%ld)\n", what.c_str(), static_cast<long>(code));
    }
}

HKEY DemoWriter::Open(const std::string& keyPath) {
    if (m_open != nullptr && keyPath == m_openPath) {
        return m_open;
    }
    if (m_open != nullptr) {
        RegCloseKey(m_open);
        m_open = nullptr;
    }
    HKEY key = nullptr;
    std::string below;
    const HKEY root = RootOf(keyPath, &below);
    const LONG rc =
        RegCreateKeyExA(root, below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
        Fail("creating " + keyPath, rc);
        return nullptr;
    }
    m_open = key;
    m_openPath = keyPath;
    return key;
}

void DemoWriter::String(const std::string& keyPath, const char* name, const std::string& data) {
    if (HKEY key = Open(keyPath)) {
        const LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
        rc == ERROR_SUCCESS ? void(++m_writes) : Fail("writing a value of " + keyPath, rc);
    }
}

void DemoWriter::ExpandString(const std::string& keyPath, const char* name, const std::string& data) {
    if (HKEY key = Open(keyPath)) {
        const LONG rc =
            RegSetValueExA(key, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1));
        rc == ERROR_SUCCESS ? void(++m_writes) : Fail("writing a value of " + keyPath, rc);
    }
}

void DemoWriter::Dword(const std::string& keyPath, const char* name, DWORD data) {
    if (HKEY key = Open(keyPath)) {
        const LONG rc =
            RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        rc == ERROR_SUCCESS ? void(++m_writes) : Fail("writing a value of " + keyPath, rc);
    }
}

void DemoWriter::Key(const std::string& keyPath) {
    if (Open(keyPath) != nullptr) {
        ++m_writes;
    }
}

void DemoWriter::File(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    if (slash != std::string::npos) {
        MakeFolders(path.substr(0, slash));
    }
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail("creating " + path, static_cast<LONG>(GetLastError()));
        return;
    }
    CloseHandle(file);
    ++m_writes;
}

HKEY RootOf(const std::string& keyPath, std::string* below) {
    if (keyPath.rfind("HKCU\\", 0) == 0) {
        *below = keyPath.substr(5);
        return HKEY_CURRENT_USER;
    }
    *below = keyPath;
    return HKEY_LOCAL_MACHINE;
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty() || GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    const auto slash = folder.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) {
        MakeFolders(folder.substr(0, slash));
    }
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace seed
