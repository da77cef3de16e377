#pragma once
// Writes registry values below HKEY_LOCAL_MACHINE and creates files, counting what failed.
// The key of the last write stays open, because the demo mix writes several values into one key in a row.
#include <windows.h>

#include <string>

namespace seed {

class DemoWriter {
public:
    DemoWriter() = default;
    ~DemoWriter();
    DemoWriter(const DemoWriter&) = delete;
    DemoWriter& operator=(const DemoWriter&) = delete;

    // keyPath is below HKEY_LOCAL_MACHINE, or below HKEY_CURRENT_USER when it starts with "HKCU\"; a null
    // name is the key's unnamed value.
    void String(const std::string& keyPath, const char* name, const std::string& data);
    void ExpandString(const std::string& keyPath, const char* name, const std::string& data);
    void Dword(const std::string& keyPath, const char* name, DWORD data);
    void Key(const std::string& keyPath);
    // An empty file (and its folders); an existing file is left as it is.
    void File(const std::string& path);

    int Failures() const { return m_failures; }
    long Writes() const { return m_writes; }

private:
    HKEY Open(const std::string& keyPath);
    void Fail(const std::string& what, LONG code);

    std::string m_openPath;
    HKEY m_open = nullptr;
    int m_failures = 0;
    long m_writes = 0;
};

// The root a seeder key path is below, and the path without its "HKCU\" mark.
HKEY RootOf(const std::string& keyPath, std::string* below);

// Creates every missing folder of a path (the path itself is a folder).
bool MakeFolders(const std::string& folder);

} // namespace seed
