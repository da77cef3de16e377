// Finding ids, the missing file a finding carries, and the ignore list, on the in-memory registry.
#include "engine/finding_id.h"
#include "engine/ignore_list.h"
#include "engine_test_support.h"

#include <set>

namespace {

constexpr char kSharedDlls[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kIgnorePath[] = "HKEY_CURRENT_USER\\Software\\Orvalin\\Ignore";

using engine::FindingId;
using engine::FindingName;

TEST(FindingIdTest, SameEntrySameIdOtherEntryOtherId) {
    const FindingName base{"font", "HKEY_LOCAL_MACHINE\\Fonts", "Arial"};
    struct Case {
        FindingName other;
        bool same;
    };
    const Case cases[] = {
        {{"font", "HKEY_LOCAL_MACHINE\\Fonts", "Arial"}, true},
        {{"FONT", "hkey_local_machine\\fonts", "ARIAL"}, true}, // registry names ignore case
        {{"Help", "HKEY_LOCAL_MACHINE\\Fonts", "Arial"}, false},
        {{"font", "HKEY_CURRENT_USER\\Fonts", "Arial"}, false}, // another hive
        {{"font", "HKEY_LOCAL_MACHINE\\Fonts", "Arial2"}, false},
        {{"font", "HKEY_LOCAL_MACHINE\\FontsA", "rial"}, false}, // parts do not run into each other
        {{"font", "HKEY_LOCAL_MACHINE\\Fonts", ""}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindingId(c.other) == FindingId(base), c.same)
            << c.other.keyPath << " " << c.other.valueName;
    }
    EXPECT_EQ(FindingId(base), "b91d8b77b6328ec3"); // fixed across builds and runs
    EXPECT_TRUE(engine::IsFindingId(FindingId(base)));
    for (const char* text : {"", "4e1df5d06bd02ce", "4e1df5d06bd02ce9a", "4e1df5d06bd02cez"}) {
        EXPECT_FALSE(engine::IsFindingId(text)) << text;
    }
}

class FindingScanTest : public enginetest::MemoryEngineTest {
protected:
    std::set<std::string> ScanIds(testsupport::MemoryRegistry& reg) {
        CRegistryLib scanner(reg);
        scanner.m_pIgnoreList = &ignore;
        ScanErrorList rows;
        scanner.ScanRegistrySharedFiles(rows);
        std::set<std::string> ids;
        for (const auto& finding : scanner.m_arrErrorLog) {
            ids.insert(FindingId(*finding));
            EXPECT_EQ(finding->GetMissingFile(), finding->GetValue()->m_strName);
        }
        ignored = scanner.m_nIgnored;
        found = rows.empty() ? -1 : rows[0]->m_nFound;
        scanned = rows.empty() ? -1 : rows[0]->m_nScanned;
        return ids;
    }
    engine::IgnoreList ignore;
    int ignored = 0;
    int found = 0;
    int scanned = 0;
};

TEST_F(FindingScanTest, IdsAreTheSameWhateverTheOrderAndTheScanCarriesTheMissingFile) {
    const std::string second = folder + "\\second.dll";
    registry.SetDword(kSharedDlls, missing, 1);
    registry.SetDword(kSharedDlls, second, 1);
    testsupport::MemoryRegistry reversed;
    reversed.SetDword(kSharedDlls, second, 1);
    reversed.SetDword(kSharedDlls, missing, 1);
    const std::set<std::string> ids = ScanIds(registry);
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_EQ(ScanIds(registry), ids);
    EXPECT_EQ(ScanIds(reversed), ids);
}

TEST_F(FindingScanTest, AnIgnoredEntryIsScannedButNeverFound) {
    const std::string second = folder + "\\second.dll";
    registry.SetDword(kSharedDlls, missing, 1);
    registry.SetDword(kSharedDlls, second, 1);
    ASSERT_EQ(ignore.Add(registry, {"SharedFile", kSharedDlls, missing}), ERROR_SUCCESS);

    engine::IgnoreList loaded; // what the next run reads back
    ASSERT_EQ(loaded.Load(registry), ERROR_SUCCESS);
    ASSERT_EQ(loaded.Size(), 1u);
    EXPECT_EQ(loaded.Sorted()[0].second.valueName, missing);

    EXPECT_EQ(ScanIds(registry), (std::set<std::string>{FindingId({"SharedFile", kSharedDlls, second})}));
    EXPECT_EQ(ignored, 1);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(scanned, 3); // the "(Default)" record, both values

    ASSERT_EQ(ignore.Remove(registry, FindingId({"SharedFile", kSharedDlls, missing})), ERROR_SUCCESS);
    EXPECT_EQ(ScanIds(registry).size(), 2u);
    EXPECT_EQ(ignore.Remove(registry, "0000000000000000"), ERROR_FILE_NOT_FOUND);
}

// Damaged values are skipped and named; the good ones around them still count.
TEST_F(FindingScanTest, DamagedIgnoreValuesAreSkippedAndNamed) {
    const FindingName good{"font", "HKEY_LOCAL_MACHINE\\Fonts", "A"};
    ASSERT_EQ(ignore.Add(registry, good), ERROR_SUCCESS);
    const std::string other = FindingId({"font", "HKEY_LOCAL_MACHINE\\Fonts", "B"});
    const auto multi = [](const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); };
    struct Case {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
        const char* why;
    };
    const Case cases[] = {
        {"not-an-id", REG_MULTI_SZ, multi(std::string("font\0K\0B\0\0", 10)), "not an id"},
        {other, REG_SZ, multi("font"), "not a category"},
        {other, REG_MULTI_SZ, multi(std::string("font\0K\0\0", 8)), "another id"},
        {other, REG_MULTI_SZ, multi(std::string("font\0\0B\0\0", 9)), "not a category"},
        {other, REG_MULTI_SZ, multi(std::string("a\0b\0c\0d\0\0", 9)), "not a category"},
        {other, REG_MULTI_SZ, {}, "not a category"},
    };
    for (const Case& c : cases) {
        registry.SetValue(kIgnorePath, c.name, c.type, c.data);
        engine::IgnoreList loaded;
        EXPECT_EQ(loaded.Load(registry), ERROR_SUCCESS);
        EXPECT_EQ(loaded.Size(), 1u) << c.why;
        EXPECT_TRUE(loaded.Contains(FindingId(good)));
        ASSERT_EQ(loaded.Damaged().size(), 1u) << c.why;
        EXPECT_NE(loaded.Damaged()[0].find(c.why), std::string::npos) << loaded.Damaged()[0];
        HKEY key = nullptr;
        registry.OpenKey(HKEY_CURRENT_USER, "Software\\Orvalin\\Ignore", &key);
        registry.DeleteValue(key, c.name.c_str());
        registry.CloseKey(key);
    }
}

} // namespace
