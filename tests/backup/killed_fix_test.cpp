// A fix killed part way leaves a backup that restores exactly what it had deleted so far.
// The test starts this same binary again to run the fix (the disabled test below) and terminates it.
#include "backup/backup_test_support.h"
#include "backup/file_bytes.h"
#include "backup/real_registry.h"
#include "backup/xml_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr char kChildVariable[] = "ORVALIN_KILLED_FIX"; // "<subkey path below HKCU>|<backup file>"
constexpr int kItems = 400;

DWORD SubKeyCount(const std::string& subPath) {
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(key);
    }
    return count;
}

std::string ItemName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Item%04d", i);
    return name;
}

} // namespace

// Run only as the child of the test below.
TEST(KilledFix, DISABLED_Child) {
    const char* setting = std::getenv(kChildVariable);
    ASSERT_NE(setting, nullptr);
    const std::string text = setting;
    const std::size_t bar = text.find('|');
    const std::string subPath = text.substr(0, bar);
    CRegistryLib engine(engine::Win32Registry(), base::ConsoleMessageBoxes());
    engine.m_dwFixPauseMs = 5;
    for (int i = 0; i < kItems; ++i) {
        backuptest::AddKeyFinding(engine, "SharedTools",
                                  "HKEY_CURRENT_USER\\" + subPath + "\\" + ItemName(i));
    }
    ScanErrorList rows = backuptest::FiveRows();
    engine.FixRegistry(rows, text.substr(bar + 1));
}

TEST(KilledFix, ThePartialBackupRestoresEverythingDeletedSoFar) {
    backuptest::TestKey key("killed");
    // Entries of a few kilobytes, so that the file buffer also reaches the disk in the middle of entries.
    const std::string filler(3000, '\x5a');
    for (int i = 0; i < kItems; ++i) {
        ASSERT_TRUE(key.Set(ItemName(i), "data", REG_BINARY, filler + std::to_string(i)));
        ASSERT_TRUE(key.Set(ItemName(i) + "\\Sub", nullptr, REG_DWORD, std::string("\x01\x02\x03\x04", 4)));
    }
    const backuptest::Snapshot before = key.Take();
    const std::string backupFile = backuptest::FreshFolder("killed") + "\\backup.xml";

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string commandLine = std::string("\"") + exe +
                              "\" --gtest_also_run_disabled_tests --gtest_filter=KilledFix.DISABLED_Child";
    SetEnvironmentVariableA(kChildVariable, (key.SubPath() + "|" + backupFile).c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    ASSERT_TRUE(started);

    // Kill it once a tenth of the keys are gone.
    bool killed = false;
    for (int wait = 0; wait < 60000 / 2; ++wait) {
        if (SubKeyCount(key.SubPath()) <= kItems - kItems / 10) {
            killed = TerminateProcess(child.hProcess, 9) != 0;
            break;
        }
        if (WaitForSingleObject(child.hProcess, 2) == WAIT_OBJECT_0) {
            break;
        }
    }
    WaitForSingleObject(child.hProcess, INFINITE);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    ASSERT_TRUE(killed) << "the fix ended before it could be killed";
    const DWORD left = SubKeyCount(key.SubPath());
    ASSERT_GT(left, 0u) << "the fix had finished";
    ASSERT_LT(left, DWORD{kItems});

    backuptest::RecordingBoxes boxes;
    CRegistryLib engine(engine::Win32Registry(), boxes);
    CXmlReader reader;
    EXPECT_EQ(engine.LoadAsXml(reader, backupFile), 1) << backuptest::ReadBytes(backupFile).size();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
    EXPECT_TRUE(key.Take() == before);
}
