// The console scan and fix include the shortcut files, as the scan window does: a broken shortcut on the
// test drive S: is listed, kept beside the backup by the fix, and put back by the restore.
#include "cli/commands.h"
#include "command_capture.h"

#include "support/test_paths.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using testcli::Captured;
using testcli::RunCommand;

bool MakeLink(const std::string& link, const std::string& target) {
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell)))) {
        return false;
    }
    shell->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    shell->Release();
    return saved;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ShortcutCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        CreateDirectoryA((folder + "\\deeper").c_str(), nullptr);
        std::ofstream(target) << "x";
        std::ofstream(kept) << "x";
        ASSERT_TRUE(MakeLink(brokenLink, target));
        ASSERT_TRUE(MakeLink(workingLink, kept));
        ASSERT_TRUE(DeleteFileA(target.c_str()));
    }
    void TearDown() override {
        for (const auto* file : {&brokenLink, &workingLink, &kept}) {
            DeleteFileA(file->c_str());
        }
        RemoveDirectoryA((folder + "\\deeper").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    const std::string folder = "S:\\" + testsupport::UniqueName("Cli");
    const std::string target = folder + "\\deeper\\program.exe";
    const std::string kept = folder + "\\deeper\\kept.exe";
    const std::string brokenLink = folder + "\\deeper\\Program.lnk";
    const std::string workingLink = folder + "\\deeper\\Kept.lnk";
};

TEST_F(ShortcutCommandsTest, ScanListsTheBrokenShortcutOnlyAndOptionsNarrowTheWalk) {
    const Captured scan = RunCommand(cli::ScanCommand, {"--json", "--drives", "S"});
    ASSERT_EQ(scan.rc, cli::kExitOk) << scan.err;
    EXPECT_NE(scan.out.find("\"shortcuts\":{"), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("Program.lnk"), std::string::npos) << scan.out;
    EXPECT_EQ(scan.out.find("Kept.lnk"), std::string::npos) << scan.out;
    EXPECT_TRUE(Exists(brokenLink));

    const Captured registryOnly = RunCommand(cli::ScanCommand, {"--json", "--no-shortcuts"});
    ASSERT_EQ(registryOnly.rc, cli::kExitOk) << registryOnly.err;
    EXPECT_EQ(registryOnly.out.find("\"shortcuts\""), std::string::npos);

    for (const cli::Args& bad :
         {cli::Args{"--drives"}, cli::Args{"--drives", "C:"}, cli::Args{"--drives", ""}}) {
        EXPECT_EQ(RunCommand(cli::ScanCommand, bad).rc, cli::kExitUsage);
    }
}

TEST_F(ShortcutCommandsTest, FixKeepsTheShortcutBesideTheBackupAndRestorePutsItBack) {
    const std::string backup = testsupport::MakeTempFolder("CliLinks") + "\\fix.xml";
    const Captured fix = RunCommand(cli::FixCommand, {"--json", "--drives", "S", "--backup", backup});
    ASSERT_EQ(fix.rc, cli::kExitOk) << fix.err;
    EXPECT_NE(fix.out.find("\"fixed\":1"), std::string::npos) << fix.out;
    EXPECT_FALSE(Exists(brokenLink));
    EXPECT_TRUE(Exists(workingLink));
    EXPECT_TRUE(Exists(backup + ".shortcuts\\S" + brokenLink.substr(2)));

    // The registry part of this backup holds the prefix's own findings; the restore puts them back too.
    const Captured restore = RunCommand(cli::RestoreCommand, {backup});
    EXPECT_EQ(restore.rc, cli::kExitOk) << restore.err;
    EXPECT_TRUE(Exists(brokenLink));
}

} // namespace
