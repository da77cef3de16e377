// The fix judges each finding again just before it backs it up and removes it: what was reinstalled while
// the results waited is left alone and counted apart.
#include "engine/engine_test_support.h"

namespace {

constexpr char kClass[] = "HKEY_CLASSES_ROOT\\CLSID\\{0F5A3C1E-0000-4000-8000-00000000A001}";
constexpr char kProgId[] = "HKEY_CLASSES_ROOT\\Orvalin.Recheck.1";
const std::string kHelp = std::string(enginetest::kWindows) + "\\Help";
const std::string kTool = std::string(enginetest::kTools) + "\\Recheck";
using enginetest::kSharedDlls;
constexpr const char* kFonts = enginetest::kFontsNT;

class FixRecheckTest : public enginetest::FamilyRowsTest {
protected:
    // One broken entry in every family, all naming the same missing file.
    void PlantBrokenEntries() {
        registry.SetString(std::string(kClass) + "\\LocalServer32", "", "\"" + missing + "\" -Embedding");
        registry.SetString(std::string(kClass) + "\\ProgID", "", "Orvalin.Recheck.1");
        registry.SetString(std::string(kProgId) + "\\CLSID", "", "{0F5A3C1E-0000-4000-8000-00000000A001}");
        registry.SetString(kHelp, "missing.dll", folder);
        registry.SetString(kTool, "Path", missing);
        registry.SetDword(kSharedDlls, missing, 1);
        registry.SetString(kFonts, "Recheck (TrueType)", missing);
    }
};

TEST_F(FixRecheckTest, WhatWasReinstalledMeanwhileIsLeftAloneAndCountedApart) {
    const struct {
        bool reinstalled;
        int noLongerBroken;
    } cases[] = {{false, 0}, {true, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reinstalled ? "reinstalled" : "still broken");
        PlantBrokenEntries();
        lib.ScanRegistry(rows);
        ASSERT_EQ(lib.m_arrErrorLog.size(), 6u); // class, ProgID, help, tool, shared DLL, font
        if (c.reinstalled) {
            enginetest::WriteFile(missing);
        }
        lib.FixRegistry(rows, folder + "\\fix.xml");
        EXPECT_EQ(RowSum(&CScanError::m_nNoLongerBroken), c.noLongerBroken);
        EXPECT_EQ(registry.KeyExists(kClass), c.reinstalled);
        EXPECT_EQ(registry.KeyExists(kProgId), c.reinstalled);
        EXPECT_EQ(registry.KeyExists(kTool), c.reinstalled);
        EXPECT_EQ(registry.GetValue(kHelp, "missing.dll").has_value(), c.reinstalled);
        EXPECT_EQ(registry.GetValue(kSharedDlls, missing).has_value(), c.reinstalled);
        EXPECT_EQ(registry.GetValue(kFonts, "Recheck (TrueType)").has_value(), c.reinstalled);
        DeleteFileA(missing.c_str());
        DeleteFileA(lib.m_strBackupFile.c_str());
    }
}

} // namespace
