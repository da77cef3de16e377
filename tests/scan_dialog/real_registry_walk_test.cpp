// The whole walk on the test prefix's real registry and a test drive, as a user makes it: Scan, Fix,
// "Fixed", OK; then the backup written on the way puts every entry and the shortcut back.
#include "scan_dialog_harness.h"
#include "support/real_registry.h"

#include <objbase.h>

#include <algorithm>

#include "engine/registry_lib.h"
#include "scan_dialog/restore_backup.h"
#include "skin/app_state.h"
#include "support/test_paths.h"

namespace {

using dialogtest::DialogRun;
using testsupport::NewClassId;
using testsupport::RealKeyExists;

constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kSharedKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kHelpKey[] = "SOFTWARE\\Microsoft\\Windows\\Help";

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    const bool found =
        RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return found;
}

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyA(root, key.c_str(), &handle), ERROR_SUCCESS);
    RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(handle);
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, name.c_str());
        RegCloseKey(handle);
    }
}

// The seeded registrations, and the prefix as it was: whatever happens in the test, a backup that was
// written is restored (the fix also removes the prefix's own broken font entries) and the seeds go.
class SeededPrefix {
public:
    SeededPrefix(const std::string& missing)
        : unique(testsupport::UniqueName("walk")), classId(NewClassId()) {
        SetString(HKEY_CLASSES_ROOT, "CLSID\\" + classId + "\\InprocServer32", "", missing);
        SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\" + unique, "Path", missing);
        SetString(HKEY_LOCAL_MACHINE, kHelpKey, unique + ".hlp", missing.substr(0, missing.rfind('\\') + 1));
        SetString(HKEY_LOCAL_MACHINE, kSharedKey, missing, "1");
        SetString(HKEY_LOCAL_MACHINE, kFontsKey, unique + " (TrueType)", unique + ".ttf");
    }
    ~SeededPrefix() {
        if (!backupFile.empty() && !restored) {
            CRegistryLib engine;
            RestoreBackup(engine, backupFile);
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + classId).c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Microsoft\\Shared Tools\\" + unique).c_str());
        DeleteValue(HKEY_LOCAL_MACHINE, kHelpKey, unique + ".hlp");
        DeleteValue(HKEY_LOCAL_MACHINE, kFontsKey, unique + " (TrueType)");
    }
    bool AllPresent() const {
        return RealKeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + classId) &&
               RealKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\" + unique) &&
               ValueExists(HKEY_LOCAL_MACHINE, kHelpKey, unique + ".hlp") &&
               ValueExists(HKEY_LOCAL_MACHINE, kFontsKey, unique + " (TrueType)");
    }
    bool NonePresent() const {
        return !RealKeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + classId) &&
               !RealKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\" + unique) &&
               !ValueExists(HKEY_LOCAL_MACHINE, kHelpKey, unique + ".hlp") &&
               !ValueExists(HKEY_LOCAL_MACHINE, kFontsKey, unique + " (TrueType)");
    }

    const std::string unique;
    const std::string classId;
    std::string backupFile;
    bool restored = false;
};

class RealRegistryWalk : public dialogtest::ScanDialogTest {};

TEST_F(RealRegistryWalk, ScanFixAndOkByClicksThenTheBackupPutsEverythingBack) {
    SeededPrefix seeds(missing);
    const std::string drive = "S:\\" + seeds.unique;
    CreateDirectoryA(drive.c_str(), nullptr);
    const std::string link = drive + "\\broken.lnk";
    dialogtest::SaveBrokenShortcut(link, drive);
    // The prefix's own broken fonts (see the engine's scan tests) are fixed too and must come back.
    char courier[MAX_PATH] = {};
    DWORD courierSize = sizeof courier;
    const bool hadCourier = RegGetValueA(HKEY_LOCAL_MACHINE, kFontsKey, "Courier", RRF_RT_REG_SZ, nullptr,
                                         courier, &courierSize) == ERROR_SUCCESS;

    DialogRun run(Options(engine::Win32Registry(), "S"), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete, 60000));
    Summary& dialog = run.Dialog();

    // The list shows the engine's rows in its order, then the shortcuts; the texts add them up.
    auto rows = run.ListRows();
    const ScanErrorList& summary = dialog.ScanErrors();
    ASSERT_EQ(summary.size(), kRegistryFamilyCount);
    ASSERT_EQ(rows.size(), kRegistryFamilyCount + 1);
    int scanned = 0;
    int found = 0;
    for (size_t i = 0; i < summary.size(); ++i) {
        EXPECT_EQ(rows[i], (std::vector<std::string>{summary[i]->m_strDescription,
                                                     std::to_string(summary[i]->m_nScanned),
                                                     std::to_string(summary[i]->m_nFound)}));
        scanned += summary[i]->m_nScanned;
        found += summary[i]->m_nFound;
        if (i < 5) {
            EXPECT_GE(summary[i]->m_nFound, 1) << summary[i]->m_strDescription; // one seed in each of these
        }
    }
    const CShortcut& shortcuts = dialog.Shortcuts();
    EXPECT_EQ(rows[kRegistryFamilyCount],
              (std::vector<std::string>{"Missing ShortCuts", std::to_string(shortcuts.m_nLinksScanned),
                                        std::to_string(shortcuts.m_nLinksFound)}));
    ASSERT_NE(std::find(shortcuts.m_arrMissingLinks.begin(), shortcuts.m_arrMissingLinks.end(), link),
              shortcuts.m_arrMissingLinks.end());
    const int total = found + shortcuts.m_nLinksFound;
    EXPECT_EQ(dialog.TextOf("TEXT_SCANCOMPLETE_ITEMSCANNED"),
              std::to_string(scanned + shortcuts.m_nLinksScanned));
    EXPECT_EQ(dialog.TextOf("TEXT_SCANCOMPLETE_ERRORFOUND"), std::to_string(total));
    EXPECT_EQ(dialog.TextOf("TEXT_SCREENSCANCOMPLETE_TITLE"),
              "Orvalin has found " + std::to_string(total) +
                  " potentially dangerous errors\nclick the button below to repair your computer");
    std::vector<int> fixedExpected;
    for (const auto& row : summary) {
        fixedExpected.push_back(row->m_nFound);
    }

    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete, 60000));
    seeds.backupFile = folder + "\\" + dialog.Engine().m_strBackupFile;
    rows = run.ListRows();
    ASSERT_EQ(rows.size(), kRegistryFamilyCount + 1);
    int fixed = 0;
    for (size_t i = 0; i < kRegistryFamilyCount; ++i) {
        ASSERT_EQ(rows[i].size(), 4u);
        EXPECT_EQ(rows[i][3], std::to_string(fixedExpected[i])) << rows[i][0]; // every finding removed
        fixed += fixedExpected[i];
    }
    EXPECT_EQ(rows[kRegistryFamilyCount][3], std::to_string(shortcuts.m_nLinksFixed));
    EXPECT_EQ(dialog.TextOf("TEXT_FIXCOMPLETE_STATUS"), "Fixed");
    EXPECT_EQ(dialog.TextOf("TEXT_FIXCOMPLETE_FIXED"), std::to_string(fixed + shortcuts.m_nLinksFixed));
    EXPECT_EQ(dialog.TextOf("TEXT_FIXCOMPLETE_ERRORFOUND"), std::to_string(total));
    EXPECT_TRUE(seeds.NonePresent());
    EXPECT_FALSE(dialogtest::FileExists(link));
    EXPECT_TRUE(dialogtest::FileExists(seeds.backupFile));

    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
    EXPECT_FALSE(ScanDialogOpen);

    CRegistryLib engine;
    EXPECT_TRUE(RestoreBackup(engine, seeds.backupFile));
    seeds.restored = true;
    EXPECT_TRUE(seeds.AllPresent());
    EXPECT_TRUE(dialogtest::FileExists(link));
    if (hadCourier) {
        char after[MAX_PATH] = {};
        DWORD afterSize = sizeof after;
        ASSERT_EQ(
            RegGetValueA(HKEY_LOCAL_MACHINE, kFontsKey, "Courier", RRF_RT_REG_SZ, nullptr, after, &afterSize),
            ERROR_SUCCESS);
        EXPECT_STREQ(after, courier);
    }
    DeleteFileA(link.c_str());
    RemoveDirectoryA(drive.c_str());
}

} // namespace
