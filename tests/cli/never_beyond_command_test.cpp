// The fix and restore commands against registry links, a deep tree and a backup name that is a device, on
// the real registry of the test prefix: the class stays, and nothing outside it ever changes.
#include "command_capture.h"
#include "support/real_registry.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testcli::Captured;
using testcli::RunCommand;
using testsupport::RealKeyExists;
using testsupport::SetRealString;

// Every key and value below a key, byte for byte, following nothing.
void Dump(HKEY key, const std::string& path, std::string& out) {
    char name[512];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) {
            break;
        }
        out += path + "|" + std::string(name, length) + "|" + std::to_string(type) + "|" +
               std::string(reinterpret_cast<char*>(data), size) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        HKEY sub = nullptr;
        out += path + "\\" + name + "\n";
        if (RegOpenKeyExA(key, name, REG_OPTION_OPEN_LINK, KEY_READ, &sub) == ERROR_SUCCESS) {
            Dump(sub, path + "\\" + name, out);
            RegCloseKey(sub);
        }
    }
}

std::string Dump(HKEY root, const std::string& path) {
    std::string out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Dump(key, path, out);
        RegCloseKey(key);
    }
    return out;
}

long long FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long long>(in.tellg()) : -1;
}

// A broken class of its own, and an unrelated key of another program in HKEY_LOCAL_MACHINE\Software.
class NeverBeyondCommand : public ::testing::Test {
protected:
    void SetUp() override {
        SetRealString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", nullptr,
                      "C:\\" + testsupport::UniqueName("Gone") + "\\server.dll");
        SetRealString(HKEY_LOCAL_MACHINE, otherKey, "keep", "me");
        SetRealString(HKEY_LOCAL_MACHINE, otherKey + "\\Sub", nullptr, "also me");
        otherBefore = Dump(HKEY_LOCAL_MACHINE, otherKey);
        folder = testsupport::MakeTempFolder("never_beyond");
    }
    void TearDown() override {
        testsupport::DeleteRegistryLink(HKEY_CLASSES_ROOT, classKey + "\\Link");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, otherKey.c_str());
    }
    // Fix, then restore: the class is left with a message, the other key never changes.
    void FixAndRestore(const std::string& hint) {
        const std::string backup = folder + "\\" + hint + ".xml";
        const Captured fix = RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", backup});
        // A finding left in place is a fix that did not do everything.
        EXPECT_EQ(fix.rc, cli::kExitFailure) << hint << fix.err;
        EXPECT_NE(fix.err.find("not removed: HKEY_LOCAL_MACHINE\\Software\\Classes\\" + classKey),
                  std::string::npos)
            << fix.err;
        EXPECT_TRUE(RealKeyExists(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32")) << hint;
        EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, otherKey), otherBefore) << hint;
        EXPECT_LT(FileSize(backup), 1 << 20) << hint;
        EXPECT_EQ(RunCommand(cli::RestoreCommand, {backup}).rc, cli::kExitOk) << hint;
        EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, otherKey), otherBefore) << hint;
    }

    const std::string classKey = "CLSID\\{" + testsupport::UniqueName("Beyond") + "}";
    const std::string otherKey = "Software\\" + testsupport::UniqueName("OtherProgram");
    std::string otherBefore;
    std::string folder;
};

} // namespace

TEST_F(NeverBeyondCommand, ALinkToAnUnrelatedKeyLeavesBothInPlace) {
    ASSERT_TRUE(
        testsupport::MakeRegistryLink(HKEY_CLASSES_ROOT, classKey + "\\Link", HKEY_LOCAL_MACHINE, otherKey));
    FixAndRestore("unrelated");
}

TEST_F(NeverBeyondCommand, ALinkBackToTheClassIsNoLoop) {
    ASSERT_TRUE(
        testsupport::MakeRegistryLink(HKEY_CLASSES_ROOT, classKey + "\\Link", HKEY_CLASSES_ROOT, classKey));
    FixAndRestore("loop");
}

TEST_F(NeverBeyondCommand, ATreeOf600LevelsIsLeftWhole) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, classKey.c_str(), &key), ERROR_SUCCESS);
    for (int level = 0; level < 600 && key != nullptr; ++level) {
        HKEY next = nullptr;
        ASSERT_EQ(RegCreateKeyA(key, "d", &next), ERROR_SUCCESS) << level;
        RegCloseKey(key);
        key = next;
    }
    RegCloseKey(key);
    FixAndRestore("deep");
}

TEST_F(NeverBeyondCommand, ABackupNameThatIsADeviceRemovesNothing) {
    for (const char* name : {"C:\\nul.xml", "\\\\.\\nul", "con"}) {
        const Captured fix = RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", name});
        EXPECT_EQ(fix.rc, cli::kExitFailure) << name;
        EXPECT_NE(fix.err.find("nothing was removed ('"), std::string::npos) << name << fix.err;
        EXPECT_TRUE(RealKeyExists(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32")) << name;
    }
}
