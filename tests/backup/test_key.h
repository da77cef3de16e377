#pragma once
// A test key of its own under HKEY_CURRENT_USER\Software of the test prefix, removed again at the end.
#include "backup/backup_test_support.h"

#include <windows.h>

#include <string>
#include <vector>

namespace backuptest {

class TestKey {
public:
    explicit TestKey(const std::string& hint);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;

    // "Software\OrvalinTest_..." below HKEY_CURRENT_USER, and the same with the root name in front.
    const std::string& SubPath() const { return m_subPath; }
    std::string FullPath() const { return "HKEY_CURRENT_USER\\" + m_subPath; }

    // Creates `relative` (with its parents) and sets one value; false when the registry refused.
    bool Set(const std::string& relative, const char* name, DWORD type, const std::string& bytes) const;
    bool Exists(const std::string& relative = std::string()) const;
    Snapshot Take() const;

private:
    std::string m_subPath;
};

// Every value below a key as a finding's record: key path and value name ("(Default)" for the unnamed one).
std::vector<std::pair<std::string, std::string>> ValuesBelow(const std::string& rootName, HKEY root,
                                                             const std::string& subPath);

} // namespace backuptest
