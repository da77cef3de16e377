// A fix never reaches beyond its finding: links, deep trees and keys that hold a family stay, on the
// in-memory registry; a restore writes through a link only when its backup says so, on the real one.
#include "backup/backup_test_support.h"
#include "support/file_bytes.h"
#include "backup/test_key.h"
#include "backup/xml_reader.h"
#include "support/memory_registry.h"
#include "support/real_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <functional>

using testsupport::MemoryRegistry;

namespace {

constexpr char kClass[] = "HKEY_CLASSES_ROOT\\CLSID\\{L}";

struct FixRun {
    MemoryRegistry registry;
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine{registry, boxes};
    ScanErrorList rows = backuptest::FiveRows();
    std::string backup = testsupport::MakeTempFolder("beyond") + "\\FixedOnTest.xml";

    FixRun() {
        registry.SetString(std::string(kClass) + "\\InprocServer32", "", "C:\\gone.dll");
    }
    void Fix() { engine.FixRegistry(rows, backup); }
};

std::vector<BYTE> LinkData() {
    const std::wstring target = L"\\Registry\\Machine\\Software\\Other";
    const auto* bytes = reinterpret_cast<const BYTE*>(target.data());
    return std::vector<BYTE>(bytes, bytes + target.size() * sizeof(wchar_t));
}

} // namespace

TEST(NeverBeyond, AKeyWithALinkInItOrOnItOrTooDeepIsLeftAndSaidSo) {
    const struct {
        const char* plant; // below the class key ("" for the key itself)
        bool link;         // a link there, or else 600 levels of keys
        const char* why;
        LONG deleteCode;
    } kCases[] = {
        {"\\Sub\\Other", true, "a registry link below it (Sub\\Other)", kLinkInTheWay},
        {"", true, "the key is a registry link", kLinkInTheWay},
        {"", false, "more than 512 levels of subkeys below it", kTooDeep},
    };
    for (const auto& c : kCases) {
        FixRun run;
        std::string deep;
        for (int i = 0; i < 600; ++i) {
            deep += "\\d";
        }
        if (c.link) {
            run.registry.SetValue(kClass + std::string(c.plant), "SymbolicLinkValue", REG_LINK, LinkData());
        } else {
            run.registry.AddKey(kClass + deep);
        }
        backuptest::AddKeyFinding(run.engine, "CLSID", kClass);

        run.Fix();

        EXPECT_TRUE(run.registry.DeletedKeys().empty()) << c.why;
        EXPECT_EQ(run.engine.m_arrNotRemoved, std::vector<std::string>{std::string(kClass) + ": " + c.why});
        EXPECT_EQ(backuptest::FixedOf(run.rows, kDescriptionCLSID), 0);
        EXPECT_FALSE(run.engine.m_bBackupFailed);
        EXPECT_EQ(testsupport::ReadBytes(run.backup).find("{L}"), std::string::npos) << c.why;
        // The deletion walk refuses on its own and never deletes the link or what is below it.
        EXPECT_EQ(run.engine.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{L}"), c.deleteCode) << c.why;
        EXPECT_TRUE(run.registry.KeyExists(kClass + std::string(c.plant))) << c.why;
    }
}

TEST(NeverBeyond, KeysThatHoldAFamilyAreRefusedBeforeTheirBackupInEverySpelling) {
    const char* const kContainers[] = {
        "HKEY_CLASSES_ROOT\\CLSID",
        "hkey_classes_root\\clsid\\",
        "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID",
        "HKEY_CURRENT_USER\\Software\\Classes\\\\CLSID",
        "HKEY_USERS\\S-1-5-21-1_Classes\\CLSID",
        "HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID",
        "HKEY_CLASSES_ROOT\\",
        "HKEY_LOCAL_MACHINE\\SOFTWARE",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\HTML Help",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    };
    FixRun run;
    for (const char* path : kContainers) {
        run.registry.AddKey(path);
        backuptest::AddKeyFinding(run.engine, "PROGID", path);
    }
    backuptest::AddKeyFinding(run.engine, "CLSID", kClass); // an ordinary finding still goes

    run.Fix();

    EXPECT_EQ(run.registry.DeletedKeys(),
              (std::vector<std::string>{std::string(kClass) + "\\InprocServer32", kClass}));
    ASSERT_EQ(run.engine.m_arrNotRemoved.size(), std::size(kContainers));
    EXPECT_EQ(run.engine.m_arrNotRemoved[0],
              "HKEY_CLASSES_ROOT\\CLSID: holds the entries of a family (a fault of the scan), never removed");
    EXPECT_EQ(testsupport::ReadBytes(run.backup).find("Shared Tools"), std::string::npos);
}

TEST(NeverBeyond, ARestoreWritesThroughALinkOnlyWhenTheBackupRecordedOne) {
    backuptest::TestKey key("restore_link");
    ASSERT_TRUE(key.Set("Target", "t", REG_SZ, std::string("1", 2)));
    ASSERT_TRUE(testsupport::MakeRegistryLink(HKEY_CURRENT_USER, key.SubPath() + "\\Link", HKEY_CURRENT_USER,
                                              key.SubPath() + "\\Target"));
    const std::string folder = testsupport::MakeTempFolder("restore_link");
    for (const bool recorded : {false, true}) {
        std::string entry = "<k name=\"HKEY_CURRENT_USER\">";
        std::string rest = key.SubPath();
        for (std::size_t slash; (slash = rest.find('\\')) != std::string::npos; rest.erase(0, slash + 1)) {
            entry += "<k name=\"" + rest.substr(0, slash) + "\">";
        }
        entry += "<k name=\"" + rest + "\"><k " + (recorded ? "link=\"1\" " : "") +
                 "name=\"Link\"><k name=\"Sub\"><v name=\"x\" value=\"y\"/></k></k></k>";
        const std::string file = folder + (recorded ? "\\with.xml" : "\\without.xml");
        testsupport::WriteBytes(file, "<registry>" + entry + "</k></k></registry>");
        backuptest::RecordingBoxes boxes;
        CRegistryLib engine(engine::Win32Registry(), boxes);
        CXmlReader reader;

        EXPECT_EQ(engine.LoadAsXml(reader, file), recorded ? 1 : 0);
        EXPECT_EQ(key.Exists("Target\\Sub"), recorded);
        EXPECT_EQ(boxes.Texts().empty(), recorded);
    }
    testsupport::DeleteRegistryLink(HKEY_CURRENT_USER, key.SubPath() + "\\Link");
}

TEST(NeverBeyond, AValueNameWithANulIsNeverAFindingNorDeletedThroughItsFirstPart) {
    const std::string help = "SOFTWARE\\Microsoft\\Windows\\Help";
    const std::string name = testsupport::UniqueName("legit") + ".hlp";
    const std::wstring hidden = std::wstring(name.begin(), name.end()) + std::wstring(L"\0evil", 5);
    const std::string folder = testsupport::MakeTempFolder("nul_name") + "\\"; // the data ends with one
    testsupport::WriteBytes(folder + name, "x");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, help.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    ASSERT_TRUE(testsupport::SetValueNative(key, hidden, L"C:\\gone"));
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine(engine::Win32Registry(), boxes);
    ScanErrorList rows;

    engine.ScanRegistryHelp(rows);
    for (const auto& finding : engine.m_arrErrorLog) {
        EXPECT_EQ(finding->GetValue()->m_strName.find(name), std::string::npos);
    }
    engine.m_arrErrorLog.clear();
    backuptest::AddValueFinding(engine, "Help", "HKEY_LOCAL_MACHINE\\" + help,
                                name + std::string("\0evil", 5));
    rows = backuptest::FiveRows();
    engine.FixRegistry(rows, folder + "fix.xml");

    EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(engine.m_arrNotRemoved.size(), 1u);
    RegDeleteValueA(key, name.c_str());
    testsupport::DeleteValueNative(key, hidden);
    RegCloseKey(key);
}
