// The scan on the real registry of the test prefix: registrations the tests add under unique names, and the
// prefix's own registry, whose findings are all explained.
#include "engine_test_support.h"
#include "support/real_registry.h"

#include <objbase.h>

#include <algorithm>
#include <set>

namespace {

using enginetest::ProgressLog;
using testsupport::NewClassId;

bool Contains(const std::string& text, const std::string& part) {
    std::string a = text, b = part;
    std::transform(a.begin(), a.end(), a.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::transform(b.begin(), b.end(), b.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return a.find(b) != std::string::npos;
}

// Test-created registrations carry "OrvalinTest" in their key path, value name or data.
bool CreatedByTests(const CRegErrorLog& finding) {
    const CRegValue* v = finding.GetValue();
    return Contains(finding.GetKeyPath(), "OrvalinTest") ||
           (v != nullptr && (Contains(v->m_strName, "OrvalinTest") || Contains(v->m_strData, "OrvalinTest")));
}

// What the test writes into the real registry, undone in reverse order at the end (also after a failure).
class RegistryChanges {
public:
    ~RegistryChanges() {
        for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
            if (it->value.empty()) {
                RegDeleteTreeA(it->root, it->key.c_str());
            } else {
                HKEY key = nullptr;
                if (RegOpenKeyExA(it->root, it->key.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                    RegDeleteValueA(key, it->value.c_str());
                    RegCloseKey(key);
                }
            }
        }
    }
    // Creates the key (removed at the end only when this created it) and sets one value in it.
    void Set(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
             DWORD size) {
        HKEY probe = nullptr;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            RegCloseKey(probe);
        } else {
            m_undo.push_back({root, key, ""});
        }
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyA(root, key.c_str(), &handle), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
        if (!name.empty()) {
            m_undo.push_back({root, key, name});
        }
    }
    void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
        Set(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

private:
    struct Undo {
        HKEY root;
        std::string key;
        std::string value; // empty: the whole key
    };
    std::vector<Undo> m_undo;
};

class RealScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        BeginRun();
        ProgressLog::Reset();
        folder = testsupport::MakeTempFolder("realscan");
        present = folder + "\\present.dll";
        missing = folder + "\\OrvalinTest_missing.dll";
        enginetest::WriteFile(present);
    }
    void TearDown() override {
        DeleteFileA(present.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::vector<const CRegErrorLog*> FindingsAt(const std::string& keyPath) const {
        std::vector<const CRegErrorLog*> out;
        for (const auto& f : lib.m_arrErrorLog) {
            if (_stricmp(f->GetKeyPath().c_str(), keyPath.c_str()) == 0) {
                out.push_back(f.get());
            }
        }
        return out;
    }

    CRegistryLib lib;
    std::string folder;
    std::string present;
    std::string missing;
};

TEST_F(RealScanTest, FindsWhatTheTestBrokeAndNothingItLeftWorking) {
    RegistryChanges changes;
    const std::string dead = NewClassId();
    const std::string working = NewClassId();
    const std::string hostile = NewClassId();
    const std::string progId = testsupport::UniqueName("Prog") + ".1";
    const std::string unique = testsupport::UniqueName("scan");

    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + dead + "\\LocalServer32", "",
                      "\"" + missing + "\" -Embedding");
    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + dead + "\\ProgID", "", progId);
    changes.SetString(HKEY_CLASSES_ROOT, progId + "\\CLSID", "", dead);
    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + working + "\\InprocServer", "", "OrvalinTest16.dll");
    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + working + "\\InprocServer32", "", present);
    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + hostile + "\\InprocServer32", "", missing);
    changes.SetString(HKEY_CLASSES_ROOT, "CLSID\\" + hostile + "\\ProgID", "", "CLSID");
    changes.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", unique + ".hlp",
                      folder + "\\");
    changes.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", "present.dll", folder + "\\");
    changes.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\" + unique, "Path", missing);
    const DWORD count = 2;
    changes.Set(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", missing,
                REG_DWORD, &count, sizeof count);
    changes.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                      unique + " (TrueType)", unique + ".ttf");

    lib.m_pfnProgress = &ProgressLog::Record;
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    ASSERT_EQ(rows.size(), kRegistryFamilyCount);

    // Wine keeps HKEY_CLASSES_ROOT in the machine's hive: the findings name that real key.
    const std::string classes = "HKEY_LOCAL_MACHINE\\Software\\Classes\\";
    const auto deadFindings = FindingsAt(classes + "CLSID\\" + dead);
    ASSERT_EQ(deadFindings.size(), 1u);
    EXPECT_EQ(deadFindings[0]->GetCategory(), "CLSID");
    EXPECT_EQ(deadFindings[0]->GetValue()->m_strData, "\"" + missing + "\" -Embedding");
    const auto progFindings = FindingsAt(classes + progId);
    ASSERT_EQ(progFindings.size(), 1u);
    EXPECT_EQ(progFindings[0]->GetCategory(), "PROGID");
    EXPECT_TRUE(FindingsAt(classes + "CLSID\\" + working).empty());
    EXPECT_EQ(FindingsAt(classes + "CLSID\\" + hostile).size(), 1u);
    EXPECT_TRUE(FindingsAt(classes + "CLSID").empty()); // never the whole CLSID tree

    const auto help = FindingsAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help");
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0]->GetValue()->m_strName, unique + ".hlp");
    const auto tools = FindingsAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\" + unique);
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0]->GetKind(), "KEY");
    const auto shared =
        FindingsAt("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
    ASSERT_GE(shared.size(), 1u);
    EXPECT_TRUE(std::any_of(shared.begin(), shared.end(),
                            [&](const CRegErrorLog* f) { return f->GetValue()->m_strName == missing; }));
    const auto fonts = FindingsAt(lib.FontsKeyPath());
    EXPECT_TRUE(std::any_of(fonts.begin(), fonts.end(), [&](const CRegErrorLog* f) {
        return f->GetValue()->m_strName == unique + " (TrueType)";
    }));

    // Every tested path reached the callback, with the family's status text.
    std::set<std::string> statuses;
    for (const auto& call : ProgressLog::calls) {
        statuses.insert(call.status);
    }
    for (const char* status : {"Scanning CLSID", "Scanning Help Files", "Scanning Shared Tools",
                               "Scanning Shared Files", "Scanning Fonts"}) {
        EXPECT_EQ(statuses.count(status), 1u) << status;
    }
}

// A freshly booted Wine prefix has four broken registrations of its own, all fonts: when the graphics driver
// first starts, Wine registers the bitmap fonts of the code page ("Courier", "MS Sans Serif", "MS Serif",
// "Small Fonts") as bare .fon names, but it loads those fonts from its own data folder and never puts them in
// C:\windows\Fonts (and ships no file at all for "MS Serif"). Its other registrations are sound: the classes
// with a dead 16-bit InprocServer (PSDispatch and friends, the AVI file classes) all have a working
// InprocServer32. The further families find nothing: Wine's one application path (iexplore.exe) and its type
// libraries name files it installs, its Run, RunOnce, Uninstall, MUI cache and installer folder keys are
// empty, and its one sound event (Explorer's Navigating) has no sound set. The prefix is a WoW64 one, like a
// 64-bit Windows: its 32-bit classes (Software\Classes\Wow6432Node\CLSID, nearly as many as the 64-bit ones)
// name C:\windows\system32 files that a 32-bit program finds in SysWOW64, where Wine installs them, and
// "C:\Program Files (x86)" files it installs too; both views' Shared Tools hold only MSInfo, without a path;
// the 32-bit view's Fonts key is the 64-bit one (a link), read once.
TEST_F(RealScanTest, FreshPrefixHasOnlyTheExplainedFindings) {
    ASSERT_TRUE(testsupport::RealKeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\CLSID"));
    lib.m_pfnProgress = &ProgressLog::Record;
    ScanErrorList rows;
    lib.ScanRegistry(rows);
    ASSERT_EQ(rows.size(), kRegistryFamilyCount);
    // The 32-bit classes were judged where a 32-bit program finds their files.
    EXPECT_TRUE(std::any_of(ProgressLog::calls.begin(), ProgressLog::calls.end(), [](const auto& call) {
        return call.status == "Scanning CLSID" && Contains(call.item, "\\syswow64\\");
    }));
    std::set<std::string> fonts;
    for (const auto& f : lib.m_arrErrorLog) {
        if (CreatedByTests(*f)) {
            continue;
        }
        const CRegValue* v = f->GetValue();
        ASSERT_NE(v, nullptr) << f->GetCategory() << " " << f->GetKeyPath();
        EXPECT_EQ(f->GetCategory(), "font")
            << f->GetKeyPath() << " | " << v->m_strName << " = " << v->m_strData;
        EXPECT_EQ(f->GetKeyPath(),
                  "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
        EXPECT_EQ(v->m_strData.find('\\'), std::string::npos) << v->m_strData;
        EXPECT_TRUE(Contains(v->m_strData, ".fon")) << v->m_strData;
        fonts.insert(v->m_strName);
    }
    EXPECT_EQ(fonts, (std::set<std::string>{"Courier", "MS Sans Serif", "MS Serif", "Small Fonts"}));
}

} // namespace
