// The fix and restore commands in-process, on the real registry of the test prefix. Every run ends with a
// restore of its own backup, so the prefix is left as it was, findings of its own included.
#include "cli/commands.h"
#include "command_capture.h"
#include "support/real_registry.h"
#include "support/registry_snapshot.h"

#include "json_check.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace {

using testsupport::RealKeyExists;
using testsupport::SetRealString;
constexpr char kFonts[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

using testcli::Captured;
using testcli::RunCommand;

using testsupport::TakeRegistrySnapshot;

std::string Folder() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return testsupport::MakeTempFolder("cli_fix_" + std::to_string(now.QuadPart));
}

// One class whose server file is gone; the fonts of the prefix may hold findings of their own.
class FixRestoreCommand : public ::testing::Test {
protected:
    void SetUp() override {
        SetRealString(HKEY_CLASSES_ROOT, classKey, nullptr, "Orvalin test class & <friends>");
        SetRealString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", nullptr, missingFile);
        SetRealString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", "ThreadingModel", "Both");
        fontsBefore = TakeRegistrySnapshot(HKEY_LOCAL_MACHINE, kFonts);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey.c_str()); }

    const std::string classKey = "CLSID\\{" + testsupport::UniqueName("FixCli") + "}";
    const std::string missingFile = "C:\\" + testsupport::UniqueName("Gone") + "\\server.dll";
    testsupport::RegistrySnapshot fontsBefore;
};

} // namespace

TEST_F(FixRestoreCommand, FixRemovesTheFindingsAndRestorePutsEverythingBack) {
    const testsupport::RegistrySnapshot classBefore =
        TakeRegistrySnapshot(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32");
    const std::string backup = Folder() + "\\fix.xml";

    const Captured fix = RunCommand(cli::FixCommand, {"--json", "--no-shortcuts", "--backup", backup});
    ASSERT_EQ(fix.rc, cli::kExitOk) << fix.err;
    EXPECT_TRUE(testjson::IsValidJson(fix.out)) << fix.out;
    std::string inJson = backup;
    for (std::size_t at = inJson.find('\\'); at != std::string::npos; at = inJson.find('\\', at + 2)) {
        inJson.insert(at, 1, '\\');
    }
    EXPECT_NE(fix.out.find(",\"backup\":\"" + inJson + "\"}"), std::string::npos) << fix.out;
    EXPECT_NE(fix.out.find("{\"description\":\"Invalid CLSID\""), std::string::npos);
    EXPECT_EQ(fix.out.find("{\"description\":\"Invalid CLSID\",\"scanned\":0"), std::string::npos);
    EXPECT_FALSE(RealKeyExists(HKEY_CLASSES_ROOT, classKey));

    const Captured restore = RunCommand(cli::RestoreCommand, {backup});
    EXPECT_EQ(restore.rc, cli::kExitOk) << restore.err;
    EXPECT_NE(restore.err.find("Registry Restored Successfuly"), std::string::npos) << restore.err;
    EXPECT_EQ(TakeRegistrySnapshot(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32"), classBefore);
    EXPECT_EQ(TakeRegistrySnapshot(HKEY_LOCAL_MACHINE, kFonts), fontsBefore);
}

TEST_F(FixRestoreCommand, TheTextFormShowsTheFixedColumnAndTheBackupPath) {
    const std::string folder = Folder();
    const std::string backup = folder + "\\text.xml";
    std::ofstream(backup) << "an older backup";

    const Captured fix = RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", backup});
    ASSERT_EQ(fix.rc, cli::kExitOk) << fix.err;
    EXPECT_NE(fix.out.find("Fixed"), std::string::npos) << fix.out;
    // The older file keeps its content; this fix went to the next free name.
    EXPECT_NE(fix.out.find("Backup: " + folder + "\\text-2.xml"), std::string::npos) << fix.out;
    std::ifstream older(backup);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(older), std::istreambuf_iterator<char>()),
              "an older backup");

    EXPECT_EQ(RunCommand(cli::RestoreCommand, {folder + "\\text-2.xml"}).rc, cli::kExitOk);
    EXPECT_TRUE(RealKeyExists(HKEY_CLASSES_ROOT, classKey));
    EXPECT_EQ(TakeRegistrySnapshot(HKEY_LOCAL_MACHINE, kFonts), fontsBefore);
}

TEST_F(FixRestoreCommand, AFixWithoutItsBackupRemovesNothingAndFails) {
    const Captured fix =
        RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", Folder() + "\\missing folder\\fix.xml"});
    EXPECT_EQ(fix.rc, cli::kExitFailure);
    EXPECT_NE(fix.err.find("the backup file could not be created; nothing was removed"), std::string::npos)
        << fix.err;
    EXPECT_TRUE(RealKeyExists(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32"));
    EXPECT_EQ(TakeRegistrySnapshot(HKEY_LOCAL_MACHINE, kFonts), fontsBefore);
}

TEST(RestoreCommand, ReportsFailuresAndUsage) {
    const std::string folder = Folder();
    const Captured missing = RunCommand(cli::RestoreCommand, {folder + "\\none.xml"});
    EXPECT_EQ(missing.rc, cli::kExitFailure);
    EXPECT_NE(missing.err.find("Registry Restoration: Registry Restoration Failed"), std::string::npos)
        << missing.err;

    const std::string broken = folder + "\\broken.xml";
    std::ofstream(broken, std::ios::binary) << "<registry>\r\n<k name=\"HKEY_CURRENT_USER\" <\r\n";
    const Captured parse = RunCommand(cli::RestoreCommand, {broken});
    EXPECT_EQ(parse.rc, cli::kExitFailure);
    EXPECT_NE(parse.err.find("Orvalin: Parse error in line 2 : (Bad '<' symbol)"), std::string::npos)
        << parse.err;

    EXPECT_EQ(RunCommand(cli::RestoreCommand, {}).rc, cli::kExitUsage);
    EXPECT_EQ(RunCommand(cli::RestoreCommand, {"a.xml", "b.xml"}).rc, cli::kExitUsage);
    EXPECT_EQ(RunCommand(cli::FixCommand, {"--backup"}).rc, cli::kExitUsage);
    EXPECT_EQ(RunCommand(cli::FixCommand, {"--nonsense"}).rc, cli::kExitUsage);
}
