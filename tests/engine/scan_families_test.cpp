// The help, shared-tools, shared-DLL and font families, on the in-memory registry.
#include "engine_test_support.h"

namespace {

using enginetest::ProgressLog;
using Op = testsupport::MemoryRegistry::Op;

using enginetest::kFontsNT;
using enginetest::kSharedDlls;
using enginetest::kTools;
using enginetest::kWindows;
constexpr char kFonts9x[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";

class FamilyTest : public enginetest::FamilyRowsTest {
protected:
    const CScanError* OnlyRow() const {
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? nullptr : rows.back().get();
    }
};

// --- help files ---

TEST_F(FamilyTest, HelpFolderAndNameAreJoinedWithOneBackslash) {
    registry.SetString(std::string(kWindows) + "\\Help", "present.dll", folder + "\\");
    registry.SetString(std::string(kWindows) + "\\HTML Help", "present.dll", folder);
    registry.SetString(std::string(kWindows) + "\\HTML Help", "missing.dll", folder);
    registry.SetString(std::string(kWindows) + "\\Helper", "missing.dll", folder + "\\"); // not a help key
    lib.ScanRegistryHelp(rows);
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_strDescription, "Corrupt Help Files");
    EXPECT_EQ(row->m_nScanned, 5); // two "(Default)" records and three help files
    EXPECT_EQ(row->m_nFound, 1);
    EXPECT_EQ(FindingLine(0), "Help VAL " + std::string(kWindows) + "\\html help | missing.dll = " + folder);
    ASSERT_EQ(ProgressLog::calls.size(), 3u);
    EXPECT_EQ(ProgressLog::calls[0].item, present);
    EXPECT_EQ(ProgressLog::calls[0].status, "Scanning Help Files");
}

TEST_F(FamilyTest, HelpFolderWithVariablesIsExpandedAndARelativeOneCannotBeJudged) {
    registry.SetString(std::string(kWindows) + "\\HELP", "kernel32.dll", "help");
    registry.SetString(std::string(kWindows) + "\\HELP", "notepad.exe", "%windir%\\", REG_EXPAND_SZ);
    lib.ScanRegistryHelp(rows);
    ASSERT_EQ(ProgressLog::calls.size(), 2u);
    EXPECT_EQ(ProgressLog::calls[0].item, "help\\kernel32.dll");
    EXPECT_EQ(
        _stricmp(ProgressLog::calls[1].item.c_str(), (enginetest::WindowsDir() + "\\notepad.exe").c_str()), 0)
        << ProgressLog::calls[1].item;
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_nFound, 0);
    // The key path carries the help key's name in lower case, whatever its case in the registry.
    registry.SetString(std::string(kWindows) + "\\HELP", "orvalin-gone.hlp", "%windir%");
    rows.clear();
    lib.ScanRegistryHelp(rows);
    EXPECT_EQ(FindingLine(0), "Help VAL " + std::string(kWindows) + "\\help | orvalin-gone.hlp = %windir%");
}

TEST_F(FamilyTest, HelpKeyWithoutValuesAndUnnamedFolderValue) {
    registry.AddKey(std::string(kWindows) + "\\Help");
    lib.ScanRegistryHelp(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 1);
    EXPECT_EQ(OnlyRow()->m_nFound, 0);
    EXPECT_TRUE(ProgressLog::calls.empty());

    // The unnamed value names no help file (and could never be removed): no finding.
    rows.clear();
    registry.SetString(std::string(kWindows) + "\\Help", "", folder + "\\");
    lib.ScanRegistryHelp(rows);
    EXPECT_EQ(OnlyRow()->m_nFound, 0);
    EXPECT_TRUE(ProgressLog::calls.empty());
}

TEST_F(FamilyTest, StopAmongHelpValuesKeepsTheRow) {
    for (const char* name : {"a.hlp", "b.hlp", "c.hlp", "d.hlp"}) {
        registry.SetString(std::string(kWindows) + "\\Help", name, folder + "\\");
    }
    ProgressLog::stopAtCall = 2;
    lib.ScanRegistryHelp(rows);
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_nScanned, 3); // "(Default)", a.hlp, b.hlp
    EXPECT_EQ(row->m_nFound, 2);
    EXPECT_EQ(lib.m_arrErrorLog.size(), 2u);
}

TEST_F(FamilyTest, HelpFamilyFailures) {
    lib.ScanRegistryHelp(rows); // no Windows key at all: a row with zero counts
    EXPECT_EQ(OnlyRow()->m_nScanned, 0);

    rows.clear();
    registry.SetString(std::string(kWindows) + "\\Help", "a.hlp", folder + "\\");
    registry.FailNext(Op::QueryInfoKey, ERROR_ACCESS_DENIED, kWindows);
    lib.ScanRegistryHelp(rows);
    EXPECT_TRUE(rows.empty());

    registry.FailNext(Op::OpenKey, ERROR_ACCESS_DENIED, std::string(kWindows) + "\\Help");
    lib.ScanRegistryHelp(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 0); // a help key that cannot be opened counts nothing
}

// --- shared tools ---

TEST_F(FamilyTest, SharedToolCountsEveryRecordAndTestsOnlyItsPath) {
    registry.SetString(std::string(kTools) + "\\Works", "Path", present);
    registry.SetString(std::string(kTools) + "\\Works", "Version", "1.0");
    registry.SetString(std::string(kTools) + "\\NoPath", "Version", "2.0");
    lib.ScanRegistrySharedTools(rows);
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_strDescription, "Invalid Shared Tools");
    EXPECT_EQ(row->m_nScanned, 5);
    EXPECT_EQ(row->m_nFound, 0);
    ASSERT_EQ(ProgressLog::calls.size(), 1u);
    EXPECT_EQ(ProgressLog::calls[0].item, present);
    EXPECT_EQ(ProgressLog::calls[0].status, "Scanning Shared Tools");
}

TEST_F(FamilyTest, SharedToolPathNameIsTrimmedAndBareNamesLiveInTheSystemDirectory) {
    registry.SetString(std::string(kTools) + "\\Spaced", "  PATH\t", missing);
    registry.SetString(std::string(kTools) + "\\Bare", "path", "orvalin-none.exe");
    registry.SetString(std::string(kTools) + "\\System", "Path", "kernel32.dll");
    lib.ScanRegistrySharedTools(rows);
    EXPECT_EQ(OnlyRow()->m_nFound, 2);
    EXPECT_EQ(FindingLine(0), "SharedTools KEY " + std::string(kTools) + "\\Bare | path = orvalin-none.exe");
    EXPECT_EQ(FindingLine(1), "SharedTools KEY " + std::string(kTools) + "\\Spaced |   PATH\t = " + missing);
    EXPECT_EQ(ProgressLog::calls[0].item, "orvalin-none.exe"); // searched for, not found
}

// --- shared DLLs ---

TEST_F(FamilyTest, SharedDllPathIsTheValueName) {
    registry.SetDword(kSharedDlls, present, 1);
    registry.SetDword(kSharedDlls, missing, 3);
    registry.SetDword(kSharedDlls, "kernel32.dll", 1);
    registry.SetDword(kSharedDlls, "\"" + missing + "\" -x", 1);
    lib.ScanRegistrySharedFiles(rows);
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_strDescription, "Corrupt Shared Files");
    EXPECT_EQ(row->m_nScanned, 5); // with the "(Default)" record, which is never tested
    EXPECT_EQ(row->m_nFound, 1);   // a quote inside the name makes no path that can be tested
    EXPECT_EQ(FindingLine(0),
              "SharedFile VAL " + std::string(kSharedDlls) + " | " + missing + " = 0x00000003 (3)");
    ASSERT_EQ(ProgressLog::calls.size(), 4u);
    EXPECT_EQ(ProgressLog::calls[0].item, present);
    EXPECT_EQ(ProgressLog::calls[0].status, "Scanning Shared Files");
    EXPECT_EQ(
        _stricmp(ProgressLog::calls[2].item.c_str(), (enginetest::SystemDir() + "\\kernel32.dll").c_str()),
        0);
    EXPECT_EQ(ProgressLog::calls[3].item, "\"" + missing + "\" -x");
    // The record keeps the raw count, so the value can be restored exactly.
    EXPECT_EQ(lib.m_arrErrorLog[0]->GetValue()->m_raw, (std::vector<BYTE>{3, 0, 0, 0}));
}

TEST_F(FamilyTest, SharedDllUnnamedValueIsCountedNotTested) {
    registry.SetString(kSharedDlls, "", "whatever");
    registry.SetDword(kSharedDlls, missing, 1);
    lib.ScanRegistrySharedFiles(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 2);
    EXPECT_EQ(OnlyRow()->m_nFound, 1);
    EXPECT_EQ(ProgressLog::calls.size(), 1u);
}

// --- fonts ---

TEST_F(FamilyTest, FontBareNamesLiveInTheFontsFolder) {
    registry.SetString(kFontsNT, "Orvalin Missing (TrueType)", "orvalin-missing.ttf");
    registry.SetString(kFontsNT, "Elsewhere", present);
    registry.SetString(kFontsNT, "Gone", missing);
    lib.ScanRegistryFonts(rows);
    const CScanError* row = OnlyRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->m_strDescription, "Corrupt Fonts");
    EXPECT_EQ(row->m_nScanned, 4); // the synthetic "(Default)" record counts and is not tested
    EXPECT_EQ(row->m_nFound, 2);
    EXPECT_EQ(FindingLine(0),
              "font VAL " + std::string(kFontsNT) + " | Orvalin Missing (TrueType) = orvalin-missing.ttf");
    EXPECT_EQ(FindingLine(1), "font VAL " + std::string(kFontsNT) + " | Gone = " + missing);
    ASSERT_EQ(ProgressLog::calls.size(), 3u);
    EXPECT_EQ(ProgressLog::calls[0].item, enginetest::WindowsDir() + "\\Fonts\\orvalin-missing.ttf");
    EXPECT_EQ(ProgressLog::calls[0].status, "Scanning Fonts");
    EXPECT_EQ(ProgressLog::calls[0].scanned, 2);
    EXPECT_EQ(ProgressLog::calls[0].found, 1);
    EXPECT_EQ(ProgressLog::calls[1].item, present);
}

TEST_F(FamilyTest, FontKeyDependsOnTheWindowsFamily) {
    registry.SetString(kFontsNT, "NT font", "orvalin-nt.ttf");
    registry.SetString(kFonts9x, "9x font", "orvalin-9x.ttf");
    lib.ForceWindows9x(true);
    lib.ScanRegistryFonts(rows);
    EXPECT_EQ(FindingLine(0), "font VAL " + std::string(kFonts9x) + " | 9x font = orvalin-9x.ttf");
    EXPECT_EQ(lib.m_arrErrorLog.size(), 1u);
}

TEST_F(FamilyTest, StopAmongFontValuesKeepsTheRowAndMissingKeyGivesEmptyRow) {
    lib.ScanRegistryFonts(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 0);

    rows.clear();
    for (int i = 0; i < 5; ++i) {
        registry.SetString(kFontsNT, "Font " + std::to_string(i), "orvalin-" + std::to_string(i) + ".ttf");
    }
    ProgressLog::stopAtCall = 2;
    lib.ScanRegistryFonts(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 3);
    EXPECT_EQ(OnlyRow()->m_nFound, 2);
    EXPECT_EQ(lib.m_arrErrorLog.size(), 2u);
}

TEST_F(FamilyTest, FontValueThatCannotBeReadIsSkipped) {
    registry.SetString(kFontsNT, "A", "orvalin-a.ttf");
    registry.SetString(kFontsNT, "B", "orvalin-b.ttf");
    registry.FailNext(Op::EnumValue, ERROR_INVALID_HANDLE, kFontsNT);
    lib.ScanRegistryFonts(rows);
    EXPECT_EQ(OnlyRow()->m_nScanned, 2);
    EXPECT_EQ(FindingLine(0), "font VAL " + std::string(kFontsNT) + " | B = orvalin-b.ttf");
}

TEST_F(FamilyTest, StopBeforeEachFamilyAddsNoRow) {
    registry.SetString(kFontsNT, "A", "orvalin-a.ttf");
    registry.SetDword(kSharedDlls, missing, 1);
    registry.SetString(std::string(kTools) + "\\T", "Path", missing);
    registry.SetString(std::string(kWindows) + "\\Help", "a.hlp", folder);
    RequestStop();
    lib.ScanRegistryHelp(rows);
    lib.ScanRegistrySharedTools(rows);
    lib.ScanRegistrySharedFiles(rows);
    lib.ScanRegistryFonts(rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
}

} // namespace
