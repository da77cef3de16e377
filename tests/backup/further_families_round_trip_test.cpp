// One broken entry of each of the families after the first five, and of the first ones' 32-bit view, in the
// test prefix's real registry: scanned, fixed, then restored from the backup, every key they live in coming
// back byte for byte.
#include "backup/backup_test_support.h"
#include "backup/xml_reader.h"
#include "support/real_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A key of the real registry that the test snapshots.
struct Place {
    HKEY root;
    std::string path;
};

// Keys and values the test writes, removed again at the end (also after a failure).
class Planted {
public:
    ~Planted() {
        for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
            if (it->value.empty()) {
                RegDeleteTreeA(it->root, it->key.c_str());
            } else if (HKEY key = nullptr;
                       RegOpenKeyExA(it->root, it->key.c_str(), 0, KEY_SET_VALUE, &key) == 0) {
                RegDeleteValueA(key, it->value.c_str());
                RegCloseKey(key);
            }
        }
    }
    // Sets a REG_SZ value; `ownKey` removes the whole key at the end, otherwise only the value.
    void Set(HKEY root, const std::string& key, const std::string& name, const std::string& text,
             bool ownKey) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyA(root, key.c_str(), &handle), ERROR_SUCCESS) << key;
        ASSERT_EQ(RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
        m_undo.push_back({root, key, ownKey ? std::string() : name});
    }

private:
    struct Undo {
        HKEY root;
        std::string key;
        std::string value;
    };
    std::vector<Undo> m_undo;
};

constexpr char kVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";

// Scans `families`, keeps the findings whose text holds `name` or "OrvalinTest_gone", fixes them (each row
// fixing one), runs `afterFix`, restores the backup and checks that every place is back as it was. Returns
// the categories of the findings kept, in order.
std::vector<std::string> FixAndRestore(const std::vector<Place>& places, const char* families,
                                       const std::string& name, const std::string& folder,
                                       const std::function<void()>& afterFix) {
    std::vector<backuptest::Snapshot> before;
    for (const Place& place : places) {
        before.push_back(backuptest::TakeSnapshot(engine::Win32Registry(), place.root, place.path));
    }
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine(engine::Win32Registry(), boxes);
    std::string unknown;
    EXPECT_TRUE(engine.SelectFamilies(families, &unknown));
    ScanErrorList rows;
    engine.ScanRegistry(rows);
    // Only the test's own entries are fixed.
    std::erase_if(engine.m_arrErrorLog, [&](const auto& f) {
        const std::string text =
            f->GetKeyPath() + (f->GetValue() ? f->GetValue()->m_strName + f->GetValue()->m_strData : "");
        return text.find(name) == std::string::npos && text.find("OrvalinTest_gone") == std::string::npos;
    });
    std::vector<std::string> found;
    for (const auto& f : engine.m_arrErrorLog) {
        found.push_back(f->GetCategory());
    }
    engine.FixRegistry(rows, folder + "\\backup.xml");
    EXPECT_FALSE(engine.m_bBackupFailed);
    for (const auto& row : rows) {
        EXPECT_EQ(row->m_nFixed, 1) << row->m_strDescription;
        EXPECT_EQ(row->m_nRefused, 0) << row->m_strDescription;
    }
    afterFix();
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_NE(backuptest::TakeSnapshot(engine::Win32Registry(), places[i].root, places[i].path),
                  before[i])
            << places[i].path;
    }
    CXmlReader reader;
    EXPECT_EQ(engine.LoadAsXml(reader, engine.m_strBackupFile), 1);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(backuptest::TakeSnapshot(engine::Win32Registry(), places[i].root, places[i].path),
                  before[i])
            << places[i].path;
    }
    return found;
}

TEST(FurtherFamiliesRoundTrip, EveryFamilyIsFixedAndRestoredByteForByte) {
    const std::string folder = testsupport::MakeTempFolder("families");
    const std::string gone = folder + "\\OrvalinTest_gone";
    const std::string name = testsupport::UniqueName("OrvalinTest_family");
    const std::string typeLib = "{" + name.substr(name.size() - 8) + "-0DE5-4F52-8000-000000000001}";
    Planted planted;
    const std::vector<Place> places = {
        {HKEY_LOCAL_MACHINE, std::string(kVersion) + "App Paths\\" + name + ".exe"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {HKEY_CURRENT_USER, std::string(kVersion) + "Uninstall\\" + name},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\TypeLib\\" + typeLib},
        {HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\" + name},
        {HKEY_CURRENT_USER,
         "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache"},
        {HKEY_LOCAL_MACHINE, std::string(kVersion) + "Installer\\Folders"},
    };
    planted.Set(HKEY_LOCAL_MACHINE, places[0].path, "", "\"" + gone + "\\app.exe\"", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[0].path, "Path", gone, true);
    planted.Set(HKEY_LOCAL_MACHINE, places[1].path, name, "\"" + gone + "\\run.exe\" /tray", false);
    planted.Set(HKEY_CURRENT_USER, places[2].path, "UninstallString", "\"" + gone + "\\unins.exe\" /S", true);
    planted.Set(HKEY_CURRENT_USER, places[2].path, "DisplayName", name, true);
    // The platform key goes, and with it its locale key, which it leaves empty; the version stays.
    planted.Set(HKEY_LOCAL_MACHINE, places[3].path, "", "", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[3].path + "\\1.0", "", "OrvalinTest library", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[3].path + "\\1.0\\FLAGS", "", "0", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[3].path + "\\1.0\\0\\win64", "", gone + "\\lib.tlb", true);
    planted.Set(HKEY_CURRENT_USER, places[4].path + "\\Event\\.Current", "", gone + "\\event.wav", true);
    planted.Set(HKEY_CURRENT_USER, places[4].path + "\\Event\\.Default", "", gone + "\\event.wav", true);
    planted.Set(HKEY_CURRENT_USER, places[5].path, gone + "\\app.exe.FriendlyAppName", "OrvalinTest", false);
    planted.Set(HKEY_LOCAL_MACHINE, places[6].path, gone + "\\", "", false);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    const auto found = FixAndRestore(
        places, "appPaths,startup,software,typeLibs,sounds,muiCache,installerFolders", name, folder, [&] {
            EXPECT_FALSE(testsupport::RealKeyExists(HKEY_LOCAL_MACHINE, places[0].path));
            EXPECT_FALSE(testsupport::RealKeyExists(HKEY_LOCAL_MACHINE, places[3].path + "\\1.0\\0"));
            EXPECT_TRUE(testsupport::RealKeyExists(HKEY_LOCAL_MACHINE, places[3].path + "\\1.0\\FLAGS"));
        });
    EXPECT_EQ(found, (std::vector<std::string>{"AppPath", "Startup", "Software", "TypeLib", "Sound",
                                               "MuiCache", "InstallerFolder"}));
}

// The first four families' 32-bit view in the test prefix (the Fonts key is shared): each finding names its
// key below Wow6432Node, and the fix and the restore reach exactly that key.
TEST(FurtherFamiliesRoundTrip, ThirtyTwoBitEntriesOfTheFirstFamiliesComeBackByteForByte) {
    const std::string folder = testsupport::MakeTempFolder("wow64");
    const std::string gone = folder + "\\OrvalinTest_gone";
    const std::string name = testsupport::UniqueName("OrvalinTest_wow");
    const std::string wow = "SOFTWARE\\WOW6432Node\\Microsoft\\";
    const std::vector<Place> places = {
        {HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\CLSID\\" + testsupport::NewClassId()},
        {HKEY_LOCAL_MACHINE, wow + "Windows\\Help"},
        {HKEY_LOCAL_MACHINE, wow + "Shared Tools\\" + name},
        {HKEY_LOCAL_MACHINE, wow + "Windows\\CurrentVersion\\SharedDLLs"},
    };
    Planted planted;
    planted.Set(HKEY_LOCAL_MACHINE, places[0].path + "\\InprocServer32", "", gone + "\\server.dll", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[1].path, name + ".hlp", gone + "\\", false);
    planted.Set(HKEY_LOCAL_MACHINE, places[2].path, "Path", gone + "\\tool.exe", true);
    planted.Set(HKEY_LOCAL_MACHINE, places[3].path, gone + "\\" + name + ".dll", "1", false);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    const auto found = FixAndRestore(places, "clsid,helpFiles,sharedTools,sharedFiles", name, folder, [] {});
    EXPECT_EQ(found, (std::vector<std::string>{"CLSID", "Help", "SharedTools", "SharedFile"}));
}

} // namespace
