// The families after the first five, on the in-memory registry and drives mapped onto test folders: for each
// a table of working, broken and guarded entries, per-user and machine-wide, in both registry views.
#include "engine_test_support.h"
#include "support/mapped_drives.h"

#include <algorithm>

namespace {

using enginetest::ProgressLog;

constexpr char kMachine[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
constexpr char kMachine32[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\";
constexpr char kUser[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\";
constexpr char kTypeLib[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{1}\\1.0\\0\\";
constexpr char kSound[] = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\App\\";
constexpr char kMui[] =
    "HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";

// One registry value a case plants; type REG_DWORD takes its number from the text.
struct Entry {
    std::string key;
    std::string name;
    std::string text;
    DWORD type = REG_SZ;
};

struct Case {
    const char* what;
    std::vector<Entry> entries;
    std::vector<std::string> files; // drive paths that exist
    std::vector<std::string> found; // "key path" of a KEY finding, "key path|value name" of a VAL one
};

class FurtherFamiliesTest : public enginetest::MemoryEngineTest {
protected:
    void SetUp() override {
        MemoryEngineTest::SetUp();
        lib.UseFileSystem(drives);
    }
    void TearDown() override {
        drives.Clear();
        RemoveDirectoryA((root + "\\C").c_str());
        RemoveDirectoryA(root.c_str());
        MemoryEngineTest::TearDown();
    }
    void Plant(const Case& c) {
        registry.SetWin9xDelete(true);
        registry.DeleteKey(HKEY_CURRENT_USER, "Software");
        registry.DeleteKey(HKEY_CURRENT_USER, "AppEvents");
        registry.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE");
        registry.SetWin9xDelete(false);
        lib.m_arrErrorLog.clear();
        drives.Clear();
        for (const std::string& file : c.files) {
            ASSERT_TRUE(drives.Create(file)) << file;
        }
        for (const Entry& e : c.entries) {
            if (e.type == REG_DWORD) {
                registry.SetDword(e.key, e.name, static_cast<DWORD>(std::stoul(e.text)));
            } else {
                registry.SetString(e.key, e.name, e.text, e.type);
            }
        }
    }
    std::vector<std::string> Findings() const {
        std::vector<std::string> out;
        for (const auto& f : lib.m_arrErrorLog) {
            out.push_back(f->GetKeyPath() +
                          (f->GetKind() == kKindValue ? "|" + f->GetValue()->m_strName : ""));
        }
        return out;
    }
    // Plants each case, scans the family alone and compares its findings; the fix's second judgement must
    // agree with the scan on every finding.
    void RunTable(void (CRegistryLib::*scan)(ScanErrorList&), const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            Plant(c);
            ScanErrorList rows;
            (lib.*scan)(rows);
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(Findings(), c.found);
            EXPECT_EQ(rows[0]->m_nFound, static_cast<int>(c.found.size()));
            for (const auto& finding : lib.m_arrErrorLog) {
                bool unused = false;
                EXPECT_TRUE(lib.StillBroken(*finding, &unused)) << finding->GetKeyPath();
            }
        }
    }

    std::string root = testsupport::MakeTempFolder("families");
    testsupport::MappedDrives drives{root, "C"};
};

TEST_F(FurtherFamiliesTest, ApplicationPaths) {
    const std::string p = std::string(kMachine) + "App Paths\\";
    const std::string p32 = std::string(kMachine32) + "App Paths\\";
    const std::string u = std::string(kUser) + "App Paths\\";
    RunTable(
        &CRegistryLib::ScanRegistryAppPaths,
        {
            {"working", {{p + "a.exe", "", "C:\\App\\a.exe"}}, {"C:\\App\\a.exe"}, {}},
            {"missing", {{p + "b.exe", "", "C:\\App\\b.exe"}}, {}, {p + "b.exe"}},
            {"quoted, missing", {{p + "b.exe", "", "\"C:\\App\\b.exe\""}}, {}, {p + "b.exe"}},
            {"quoted with arguments: not a path", {{p + "b.exe", "", "\"C:\\App\\b.exe\" /x"}}, {}, {}},
            {"variable", {{p + "v.exe", "", "%ProgramFiles%\\V\\v.exe", REG_EXPAND_SZ}}, {}, {p + "v.exe"}},
            {"variable, present",
             {{p + "v.exe", "", "%ProgramFiles%\\V\\v.exe", REG_EXPAND_SZ}},
             {"C:\\Program Files\\V\\v.exe"},
             {}},
            {"terminal server guard",
             {{p + "t.exe", "", "C:\\App\\t.exe"}, {p + "t.exe", "BlockOnTSNonInstallMode", "1", REG_DWORD}},
             {},
             {}},
            {"guard off",
             {{p + "t.exe", "", "C:\\App\\t.exe"}, {p + "t.exe", "BlockOnTSNonInstallMode", "0", REG_DWORD}},
             {},
             {p + "t.exe"}},
            {"empty default", {{p + "e.exe", "", ""}, {p + "e.exe", "Path", "C:\\Gone"}}, {}, {}},
            {"no default", {{p + "e.exe", "Path", "C:\\Gone"}}, {}, {}},
            {"not a string", {{p + "n.exe", "", "7", REG_DWORD}}, {}, {}},
            {"per-user", {{u + "b.exe", "", "C:\\App\\b.exe"}}, {}, {u + "b.exe"}},
            {"32-bit view reads SysWOW64",
             {{p32 + "w.exe", "", "C:\\Windows\\System32\\w.exe"}},
             {"C:\\Windows\\System32\\w.exe"},
             {p32 + "w.exe"}},
            {"32-bit view, present",
             {{p32 + "w.exe", "", "%ProgramFiles%\\W\\w.exe", REG_EXPAND_SZ}},
             {"C:\\Program Files (x86)\\W\\w.exe"},
             {}},
            {"32-bit view, bare name found by search",
             {{p32 + "s.exe", "", "s.exe"}},
             {"C:\\Windows\\s.exe"},
             {}},
            {"unmapped drive", {{p + "d.exe", "", "D:\\App\\d.exe"}}, {}, {}},
        });
}

TEST_F(FurtherFamiliesTest, StartupPrograms) {
    const std::string run = std::string(kMachine) + "Run";
    const std::string once = std::string(kUser) + "RunOnce";
    const std::string run32 = std::string(kMachine32) + "Run";
    const std::string rundll = "C:\\Windows\\System32\\rundll32.exe";
    RunTable(
        &CRegistryLib::ScanRegistryStartup,
        {
            {"working, quoted with arguments",
             {{run, "A", "\"C:\\App\\a.exe\" /min"}},
             {"C:\\App\\a.exe"},
             {}},
            {"missing, quoted with arguments", {{run, "A", "\"C:\\App\\a.exe\" /min"}}, {}, {run + "|A"}},
            {"unquoted with spaces, present",
             {{run, "S", "C:\\Program Files\\App\\s.exe -x"}},
             {"C:\\Program Files\\App\\s.exe"},
             {}},
            {"unquoted with spaces, missing",
             {{run, "S", "C:\\Program Files\\App\\s.exe -x"}},
             {},
             {run + "|S"}},
            {"per-user RunOnce", {{once, "U", "C:\\App\\u.exe"}}, {}, {once + "|U"}},
            {"rundll32 host judged by its module",
             {{run, "R", "rundll32.exe C:\\App\\gone.dll,Entry"}},
             {rundll},
             {run + "|R"}},
            {"rundll32 module present",
             {{run, "R", "rundll32.exe C:\\App\\m.dll,Entry"}},
             {rundll, "C:\\App\\m.dll"},
             {}},
            {"variable", {{run, "V", "%ProgramFiles%\\V\\v.exe /s", REG_EXPAND_SZ}}, {}, {run + "|V"}},
            {"32-bit view",
             {{run32, "W", "\"%ProgramFiles%\\W\\w.exe\"", REG_EXPAND_SZ}},
             {"C:\\Program Files\\W\\w.exe"},
             {run32 + "|W"}},
            {"unnamed value left alone", {{run, "", "C:\\App\\gone.exe"}}, {}, {}},
            {"empty text", {{run, "E", ""}}, {}, {}},
        });
}

TEST_F(FurtherFamiliesTest, SoftwareEntries) {
    const std::string m = std::string(kMachine) + "Uninstall\\X";
    const std::string m32 = std::string(kMachine32) + "Uninstall\\X";
    const std::string u = std::string(kUser) + "Uninstall\\X";
    const auto entry = [](const std::string& key, std::vector<Entry> more = {}) {
        std::vector<Entry> all = {{key, "UninstallString", "\"C:\\App\\unins.exe\" /S"},
                                  {key, "InstallLocation", "C:\\App\\"},
                                  {key, "DisplayIcon", "\"C:\\App\\app.exe\",0"}};
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    RunTable(
        &CRegistryLib::ScanRegistrySoftware,
        {
            {"all three gone", entry(m), {}, {m}},
            {"uninstaller there", entry(m), {"C:\\App\\unins.exe"}, {}},
            {"install folder there", entry(m), {"C:\\App\\other.txt"}, {}},
            {"icon file there",
             {{m, "UninstallString", "C:\\App\\unins.exe"}, {m, "DisplayIcon", "C:\\Icons\\app.ico,-101"}},
             {"C:\\Icons\\app.ico"},
             {}},
            {"only an uninstaller, gone", {{m, "UninstallString", "C:\\App\\unins.exe"}}, {}, {m}},
            {"Windows Installer", entry(m, {{m, "WindowsInstaller", "1", REG_DWORD}}), {}, {}},
            {"system component", entry(m, {{m, "SystemComponent", "1", REG_DWORD}}), {}, {}},
            {"msiexec", {{m, "UninstallString", "MsiExec.exe /X{0000-1111}"}}, {}, {}},
            {"no uninstaller", {{m, "DisplayName", "X"}, {m, "InstallLocation", "C:\\App"}}, {}, {}},
            {"per-user", entry(u), {}, {u}},
            {"32-bit view", entry(m32), {}, {m32}},
            {"32-bit view reads Program Files (x86)",
             {{m32, "UninstallString", "\"%ProgramFiles%\\App\\unins.exe\"", REG_EXPAND_SZ}},
             {"C:\\Program Files\\App\\unins.exe"},
             {m32}},
        });
}

TEST_F(FurtherFamiliesTest, TypeLibraries) {
    const std::string lib32 = std::string(kTypeLib) + "win32";
    const std::string lib64 = std::string(kTypeLib) + "win64";
    const std::string user = "HKEY_CURRENT_USER\\Software\\Classes\\TypeLib\\{2}\\2.0\\409\\win64";
    RunTable(&CRegistryLib::ScanRegistryTypeLibs,
             {
                 {"one platform gone, the other kept",
                  {{lib32, "", "C:\\App\\a32.tlb"}, {lib64, "", "C:\\App\\a64.tlb"}},
                  {"C:\\App\\a64.tlb"},
                  {lib32}},
                 {"resource index, file there", {{lib64, "", "C:\\App\\a.dll\\2"}}, {"C:\\App\\a.dll"}, {}},
                 {"resource index, file gone", {{lib64, "", "C:\\App\\a.dll\\2"}}, {}, {lib64}},
                 {"32-bit platform reads SysWOW64",
                  {{lib32, "", "C:\\Windows\\System32\\t.tlb"}, {lib64, "", "C:\\Windows\\System32\\t.tlb"}},
                  {"C:\\Windows\\System32\\t.tlb"},
                  {lib32}},
                 {"help folder and flags are not platforms",
                  {{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{1}\\1.0\\HELPDIR", "", "C:\\Gone"},
                   {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\{1}\\1.0\\FLAGS", "", "0"}},
                  {},
                  {}},
                 {"per-user", {{user, "", "%APPDATA%\\x.tlb", REG_EXPAND_SZ}}, {}, {user}},
                 {"empty file", {{lib64, "", ""}}, {}, {}},
             });
}

TEST_F(FurtherFamiliesTest, SoundFiles) {
    const std::string current = std::string(kSound) + "Ding\\.Current";
    RunTable(&CRegistryLib::ScanRegistrySounds,
             {
                 {"working", {{current, "", "C:\\Sounds\\ding.wav"}}, {"C:\\Sounds\\ding.wav"}, {}},
                 {"gone", {{current, "", "C:\\Sounds\\ding.wav"}}, {}, {current + "|(Default)"}},
                 {"bare name in Media", {{current, "", "ding.wav"}}, {"C:\\Windows\\Media\\ding.wav"}, {}},
                 {"bare name gone", {{current, "", "ding.wav"}}, {}, {current + "|(Default)"}},
                 {"variable",
                  {{current, "", "%SystemRoot%\\media\\x.wav", REG_EXPAND_SZ}},
                  {},
                  {current + "|(Default)"}},
                 {"no sound", {{current, "", ""}}, {}, {}},
                 {"other schemes are not judged",
                  {{std::string(kSound) + "Ding\\.Default", "", "C:\\Gone.wav"}},
                  {},
                  {}},
             });
}

TEST_F(FurtherFamiliesTest, MuiCacheEntries) {
    RunTable(&CRegistryLib::ScanRegistryMuiCache,
             {
                 {"working", {{kMui, "C:\\App\\a.exe.FriendlyAppName", "A"}}, {"C:\\App\\a.exe"}, {}},
                 {"gone, both details",
                  {{kMui, "C:\\App\\a.exe.FriendlyAppName", "A"},
                   {kMui, "C:\\App\\a.exe.ApplicationCompany", "Co"}},
                  {},
                  {std::string(kMui) + "|C:\\App\\a.exe.FriendlyAppName",
                   std::string(kMui) + "|C:\\App\\a.exe.ApplicationCompany"}},
                 {"resource strings and the language",
                  {{kMui, "@C:\\Gone\\x.dll,-101", "X"}, {kMui, "LangID", "9", REG_DWORD}},
                  {},
                  {}},
                 {"another form of name", {{kMui, "C:\\App\\a.exe", "A"}}, {}, {}},
                 {"bare name", {{kMui, "a.exe.FriendlyAppName", "A"}}, {}, {}},
             });
}

TEST_F(FurtherFamiliesTest, InstallerFolders) {
    const std::string key = std::string(kMachine) + "Installer\\Folders";
    RunTable(&CRegistryLib::ScanRegistryInstallerFolders,
             {
                 {"working", {{key, "C:\\App\\", ""}}, {"C:\\App\\file.txt"}, {}},
                 {"gone", {{key, "C:\\App\\", ""}}, {}, {key + "|C:\\App\\"}},
                 {"unmapped drive", {{key, "D:\\App\\", ""}}, {}, {}},
                 {"not a folder path", {{key, "App", ""}}, {}, {}},
             });
}

// The first five families in the 32-bit view: each redirected key's WOW6432Node copy is walked, its paths
// read as a 32-bit program reads them; the Fonts key, which both views share, is read once, by its own name.
TEST_F(FurtherFamiliesTest, FirstFiveFamiliesInThe32BitView) {
    const std::string sys = "C:\\Windows\\System32\\", wow = "C:\\Windows\\SysWOW64\\";
    const std::string help32 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\help";
    const std::string tool32 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Shared Tools\\T";
    const std::string dlls = std::string(kMachine) + "SharedDLLs",
                      dlls32 = std::string(kMachine32) + "SharedDLLs";
    const std::string fonts32 =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const std::string class32 = "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\{1}";
    const std::string server32 = class32 + "\\InprocServer32";
    const std::pair<void (CRegistryLib::*)(ScanErrorList&), std::vector<Case>> families[] = {
        {&CRegistryLib::ScanRegistryHelp,
         {{"folder read as SysWOW64", {{help32, "a.hlp", sys}}, {sys + "a.hlp"}, {help32 + "|a.hlp"}},
          {"present in SysWOW64", {{help32, "a.hlp", sys}}, {wow + "a.hlp"}, {}}}},
        {&CRegistryLib::ScanRegistrySharedTools,
         {{"common files read as (x86)",
           {{tool32, "Path", "%CommonProgramFiles%\\T\\t.dll", REG_EXPAND_SZ}},
           {"C:\\Program Files\\Common Files\\T\\t.dll"},
           {tool32}}}},
        {&CRegistryLib::ScanRegistrySharedFiles,
         {{"32-bit view reads SysWOW64",
           {{dlls32, sys + "s.dll", "1", REG_DWORD}},
           {sys + "s.dll"},
           {dlls32 + "|" + sys + "s.dll"}},
          {"64-bit view reads System32", {{dlls, sys + "s.dll", "1", REG_DWORD}}, {sys + "s.dll"}, {}}}},
        {&CRegistryLib::ScanRegistryFonts,
         {{"shared key read once",
           {{std::string(enginetest::kFontsNT), "F", "C:\\Gone\\f.ttf"}},
           {},
           {std::string(enginetest::kFontsNT) + "|F"}},
          {"no second copy is read", {{fonts32, "F", "C:\\Gone\\f.ttf"}}, {}, {}}}},
        {&CRegistryLib::ScanRegistryCLSID,
         {{"server read as SysWOW64", {{server32, "", sys + "c.dll"}}, {sys + "c.dll"}, {class32}},
          {"present in SysWOW64", {{server32, "", sys + "c.dll"}}, {wow + "c.dll"}, {}},
          {"program files read as (x86)",
           {{server32, "", "%ProgramFiles%\\C\\c.dll", REG_EXPAND_SZ}},
           {"C:\\Program Files\\C\\c.dll"},
           {class32}}}},
    };
    for (const auto& [scan, cases] : families) {
        RunTable(scan, cases);
    }
}

// A stop in the middle of a family ends it with its row and the findings judged so far; the families after
// it add no row.
TEST_F(FurtherFamiliesTest, StopInTheMiddleOfAFamily) {
    const std::string run = std::string(kMachine) + "Run";
    Plant({"",
           {{run, "A", "C:\\App\\a.exe"}, {run, "B", "C:\\App\\b.exe"}, {run, "C", "C:\\App\\c.exe"}},
           {},
           {}});
    std::string unknown;
    ASSERT_TRUE(lib.SelectFamilies("startup,sounds", &unknown));
    ProgressLog::stopAtCall = 2;
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->m_strDescription, kDescriptionStartup);
    EXPECT_EQ(rows[0]->m_nFound, 2);
    EXPECT_EQ(Findings(), (std::vector<std::string>{run + "|A", run + "|B"}));
    EXPECT_EQ(lib.SelectedFamilyCount(), 2u);
}

TEST_F(FurtherFamiliesTest, FamilyListsAndRowOrder) {
    std::string unknown;
    EXPECT_FALSE(lib.SelectFamilies("startup,bogus", &unknown));
    EXPECT_EQ(unknown, "bogus");
    EXPECT_TRUE(lib.SelectFamilies("Shortcuts", &unknown));
    EXPECT_EQ(lib.SelectedFamilyCount(), 0u);
    EXPECT_TRUE(lib.SelectFamilies("", &unknown));
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    std::vector<std::string> descriptions;
    for (const auto& row : rows) {
        descriptions.push_back(row->m_strDescription);
    }
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kRegistryFamilyCount; ++i) {
        expected.push_back(kRegistryFamilies[i].description);
        EXPECT_STREQ(FamilyName(kRegistryFamilies[i].description), kRegistryFamilies[i].name);
    }
    EXPECT_EQ(descriptions, expected);
    EXPECT_EQ(descriptions[5], kDescriptionAppPaths); // after the first five
}

} // namespace
