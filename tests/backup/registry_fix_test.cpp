// The fix passes on the in-memory registry: tallies, order, progress, and what is never deleted.
#include "backup/backup_test_support.h"
#include "backup/xml_writer.h"
#include "support/file_bytes.h"
#include "engine/fix_tally.h"
#include "support/memory_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using backuptest::AddKeyFinding;
using backuptest::AddValueFinding;
using backuptest::FixedOf;
using backuptest::RefusedOf;
using testsupport::MemoryRegistry;

namespace {

struct ProgressLine {
    std::string item;
    std::string status;
};
std::vector<ProgressLine> g_progress; // the progress callback is a plain function

void RecordProgress(std::string item, std::string status, int scanned, int found) {
    EXPECT_EQ(scanned, 0);
    EXPECT_EQ(found, 0);
    g_progress.push_back(ProgressLine{std::move(item), std::move(status)});
}

// A writer on a disk that fills up after a given number of writes.
class FailingWriter final : public CXmlWriter {
public:
    explicit FailingWriter(int allowed) : m_allowed(allowed) {}

protected:
    bool AppendToFile(const std::string& bytes) override {
        if (m_allowed <= 0) {
            return false;
        }
        --m_allowed;
        return CXmlWriter::AppendToFile(bytes);
    }

private:
    int m_allowed;
};

class RegistryFix : public ::testing::Test {
protected:
    RegistryFix() : engine(registry, boxes) {
        engine.m_bJudgeAgain = false; // the findings are made by hand
        engine.m_pfnProgress = RecordProgress;
        g_progress.clear();
        folder = testsupport::MakeTempFolder("fix");
        rows = backuptest::FiveRows();
    }
    std::string Backup() const { return folder + "\\FixedOnTest.xml"; }

    MemoryRegistry registry;
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine;
    std::string folder;
    ScanErrorList rows;
};

} // namespace

TEST_F(RegistryFix, WithoutFindingsTheBackupHoldsAnEmptyRootAndEveryRowStaysZero) {
    engine.FixRegistry(rows, Backup());
    EXPECT_FALSE(engine.m_bBackupFailed);
    EXPECT_EQ(engine.m_strBackupFile, Backup());
    EXPECT_EQ(testsupport::ReadBytes(Backup()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry shortcuts=\"listed\">\r\n </registry>\r\n");
    for (const auto& row : rows) {
        EXPECT_EQ(row->m_nFixed, 0);
    }
    EXPECT_TRUE(g_progress.empty());
}

TEST_F(RegistryFix, PassesRunInTheirOrderAndTallyRemovedAndRefused) {
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32", "", "C:\\gone.dll");
    registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help", "foo.hlp", "C:\\gone");
    registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\T", "path", "C:\\gone.exe");
    for (int i = 0; i < 4; ++i) {
        registry.SetString("HKEY_LOCAL_MACHINE\\Fonts", "f" + std::to_string(i), "gone.ttf");
    }
    // Found in scan order: CLSID twice for the same key, a ProgID that is not there, shared tools, fonts,
    // help.
    AddKeyFinding(engine, "CLSID", "HKEY_CLASSES_ROOT\\CLSID\\{A}");
    AddKeyFinding(engine, "CLSID", "HKEY_CLASSES_ROOT\\CLSID\\{A}");
    AddKeyFinding(engine, "PROGID", "HKEY_CLASSES_ROOT\\Missing.ProgId");
    AddKeyFinding(engine, "SharedTools", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\T");
    for (int i = 0; i < 4; ++i) {
        AddValueFinding(engine, "font", "HKEY_LOCAL_MACHINE\\Fonts", "f" + std::to_string(i));
    }
    AddValueFinding(engine, "Help", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help", "foo.hlp");
    AddKeyFinding(engine, "Unknown", "HKEY_CURRENT_USER\\Nothing");
    registry.FailEvery(MemoryRegistry::Op::DeleteValue, ERROR_ACCESS_DENIED, "HKEY_LOCAL_MACHINE\\Fonts");

    engine.FixRegistry(rows, Backup());

    EXPECT_EQ(FixedOf(rows, kDescriptionCLSID), 1);
    EXPECT_EQ(FixedOf(rows, kDescriptionHelp), 1);
    EXPECT_EQ(FixedOf(rows, kDescriptionFonts), 0);
    EXPECT_EQ(RefusedOf(rows, kDescriptionFonts), 4);
    EXPECT_EQ(RefusedOf(rows, kDescriptionCLSID), 0); // a key already gone is neither
    EXPECT_EQ(FixedOf(rows, kDescriptionSharedTools), 1);
    EXPECT_EQ(FixedOf(rows, kDescriptionSharedFiles), 0);
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{A}"));
    EXPECT_TRUE(registry.GetValue("HKEY_LOCAL_MACHINE\\Fonts", "f0").has_value());

    // CLSID, help, fonts, shared tools: the order of the passes, not of the findings.
    std::vector<std::string> statuses;
    for (const auto& p : g_progress) {
        statuses.push_back(p.status);
    }
    EXPECT_EQ(statuses, (std::vector<std::string>{"Fixing CLSID ", "Fixing CLSID ", "Fixing CLSID ",
                                                  "Fixing Help Files ", "Fixing fonts ", "Fixing fonts ",
                                                  "Fixing fonts ", "Fixing fonts ", "Fixing Shared tools "}));
    EXPECT_EQ(g_progress[0].item, "HKEY_CLASSES_ROOT\nCLSID\\{A}");
    EXPECT_EQ(g_progress[3].item, "HKEY_LOCAL_MACHINE\nSOFTWARE\\Microsoft\\Windows\\help\nfoo.hlp");

    // The backup lists the entries in the order of deletion; the second {A} finding found nothing to save.
    const std::string bytes = testsupport::ReadBytes(Backup());
    const std::size_t clsid = bytes.find("<v name=\"(Default)\" value=\"C:\\gone.dll\"/>");
    const std::size_t help = bytes.find("<v name=\"foo.hlp\"");
    const std::size_t font = bytes.find("<v name=\"f0\"");
    const std::size_t tool = bytes.find("<v name=\"path\"");
    EXPECT_LT(clsid, help);
    EXPECT_LT(help, font);
    EXPECT_LT(font, tool);
    EXPECT_EQ(bytes.find("C:\\gone.dll", bytes.find('\n', clsid)), std::string::npos);
}

TEST_F(RegistryFix, AFixThatCannotCreateItsBackupDeletesNothing) {
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{A}", "", "x");
    registry.SetString("HKEY_LOCAL_MACHINE\\Fonts", "f", "gone.ttf");
    AddKeyFinding(engine, "CLSID", "HKEY_CLASSES_ROOT\\CLSID\\{A}");
    AddValueFinding(engine, "font", "HKEY_LOCAL_MACHINE\\Fonts", "f");
    rows[0]->m_nFixed = 7; // left from an earlier fix

    engine.FixRegistry(rows, folder + "\\no such folder\\backup.xml");

    EXPECT_TRUE(engine.m_bBackupFailed);
    EXPECT_EQ(engine.m_strBackupFile, "");
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{A}"));
    EXPECT_TRUE(registry.GetValue("HKEY_LOCAL_MACHINE\\Fonts", "f").has_value());
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::DeleteKey), 0);
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::DeleteValue), 0);
    for (const auto& row : rows) {
        EXPECT_EQ(row->m_nFixed, 0);
    }
}

TEST_F(RegistryFix, AFindingWhoseEntryCouldNotBeWrittenIsNotDeletedNorAnyAfterIt) {
    for (const char* key : {"{A}", "{B}", "{C}"}) {
        registry.SetString(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + key, "", "x");
        AddKeyFinding(engine, "CLSID", std::string("HKEY_CLASSES_ROOT\\CLSID\\") + key);
    }
    // The declaration and the root, {A}'s seven lines, then {B}'s first line; its second line fails.
    auto writer = std::make_unique<FailingWriter>(2 + 7 + 1);
    engine.m_xmlWriter = std::move(writer);

    engine.FixRegistry(rows, Backup());

    EXPECT_TRUE(engine.m_bBackupFailed);
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{A}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{B}"));
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{C}"));
    EXPECT_EQ(FixedOf(rows, kDescriptionCLSID), 1);
}

TEST_F(RegistryFix, KeysWithUnreadablePartsAreLeftInPlace) {
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{A}\\Locked", "", "x");
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{B}", "", "x");
    AddKeyFinding(engine, "CLSID", "HKEY_CLASSES_ROOT\\CLSID\\{A}");
    AddKeyFinding(engine, "CLSID", "HKEY_CLASSES_ROOT\\CLSID\\{B}");
    registry.FailEvery(MemoryRegistry::Op::OpenKeyEx, ERROR_ACCESS_DENIED,
                       "HKEY_CLASSES_ROOT\\CLSID\\{A}\\Locked");
    registry.FailEvery(MemoryRegistry::Op::OpenKey, ERROR_ACCESS_DENIED, "HKEY_CLASSES_ROOT\\CLSID\\{B}");

    engine.FixRegistry(rows, Backup());

    EXPECT_FALSE(engine.m_bBackupFailed); // the file itself is fine
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{A}\\Locked"));
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{B}"));
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::DeleteKey), 0);
    // {A}: incomplete entry, left in place; {B}: the refused open. Both were left: both are refused.
    EXPECT_EQ(FixedOf(rows, kDescriptionCLSID), 0);
    EXPECT_EQ(RefusedOf(rows, kDescriptionCLSID), 2);
    EXPECT_EQ(rows[0]->m_lRefusal, kNotBackedUp);
}

TEST_F(RegistryFix, TheUnnamedValueIsNeverDeletedThroughItsDisplayName) {
    const std::string help = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help";
    registry.SetString(help, "", "C:\\folder");
    registry.SetString(help, "(Default)", "literal");
    AddValueFinding(engine, "Help", help, "(Default)");

    engine.FixRegistry(rows, Backup());

    EXPECT_TRUE(registry.GetValue(help, "").has_value());
    EXPECT_TRUE(registry.GetValue(help, "(Default)").has_value());
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::DeleteValue), 0);
    EXPECT_EQ(FixedOf(rows, kDescriptionHelp), 0);
    ASSERT_EQ(g_progress.size(), 1u);
    EXPECT_NE(testsupport::ReadBytes(Backup()).find("<v name=\"(Default)\" value=\"C:\\folder\"/>"),
              std::string::npos);
}

TEST_F(RegistryFix, ABackupIsNeverOverwritten) {
    testsupport::WriteBytes(Backup(), "first fix");
    testsupport::WriteBytes(folder + "\\FixedOnTest-2.xml", "second fix");
    engine.FixRegistry(rows, Backup());
    EXPECT_EQ(engine.m_strBackupFile, folder + "\\FixedOnTest-3.xml");
    EXPECT_EQ(testsupport::ReadBytes(Backup()), "first fix");
    EXPECT_EQ(testsupport::ReadBytes(folder + "\\FixedOnTest-2.xml"), "second fix");
    EXPECT_NE(testsupport::ReadBytes(engine.m_strBackupFile).find("<registry shortcuts=\"listed\">"), std::string::npos);
}

TEST_F(RegistryFix, AValueFindingSavesTheValueAsItIsNowNotAsTheScanSawIt) {
    const std::string fonts = "HKEY_LOCAL_MACHINE\\Fonts";
    registry.SetValue(fonts, "f", REG_EXPAND_SZ, {'n', 'e', 'w'}); // no terminator: exact form
    AddValueFinding(engine, "font", fonts, "f", "old text", REG_SZ);

    engine.FixRegistry(rows, Backup());

    EXPECT_FALSE(registry.GetValue(fonts, "f").has_value());
    const std::string bytes = testsupport::ReadBytes(Backup());
    EXPECT_NE(bytes.find("<v name=\"f\" value=\"new\" type=\"REG_EXPAND_SZ\" raw=\"6e6577\" rawtype=\"2\"/>"),
              std::string::npos)
        << bytes;
}
