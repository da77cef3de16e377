#include "backup/shortcut_list.h"
#include "shortcut_test_support.h"
#include "shortcuts/shortcut.h"
#include "shortcuts/shortcut_backup.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace shortcut_test;
using shortcuts::RestoreShortcuts;
using shortcuts::ShortcutBackupFolder;
using shortcuts::ShortcutBackupPath;

namespace {

using shortcut_test::kListingBackup;

// An empty backup from before the fix listed its shortcuts.
constexpr char kOlderBackup[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry>\r\n </registry>\r\n";

shortcuts::ShortcutRestoreResult Restore(const std::string& backupFile) {
    const backup::ShortcutList list = backup::ReadShortcutList(backupFile);
    return RestoreShortcuts(backupFile, {list.listing, list.paths});
}

std::vector<BYTE> Bytes(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

class ShortcutFix : public ShortcutDriveTest {
protected:
    void SetUp() override {
        ShortcutDriveTest::SetUp();
        work = testsupport::MakeTempFolder("shortcut_fix");
        backup = work + "\\FixedOnMondayFebruary162004143005.xml";
        WriteBytes(backup, Bytes(kListingBackup));
        shortcut.LimitToDrives("S");
    }
    void TearDown() override {
        RemoveTree(work);
        ShortcutDriveTest::TearDown();
    }

    std::string Kept(const std::string& path) const { return ShortcutBackupPath(backup, path); }

    std::string work;
    std::string backup;
    CShortcut shortcut;
};

TEST(ShortcutBackupPath, KeepsTheDriveAndPathBelowAFolderNamedAfterTheBackup) {
    EXPECT_EQ(ShortcutBackupFolder("FixedOnX.xml"), "FixedOnX.xml.shortcuts");
    EXPECT_EQ(ShortcutBackupPath("C:\\b\\FixedOnX.xml", "s:\\Users\\Desk\\x.lnk"),
              "C:\\b\\FixedOnX.xml.shortcuts\\S\\Users\\Desk\\x.lnk");
    EXPECT_EQ(ShortcutBackupPath("C:\\b\\FixedOnX.xml", "\\\\server\\share\\x.lnk"), "");
    EXPECT_EQ(ShortcutBackupPath("C:\\b\\FixedOnX.xml", "relative\\x.lnk"), "");
    EXPECT_EQ(ShortcutBackupPath("", "C:\\x\\x.lnk"), "");
}

TEST_F(ShortcutFix, MovesTheListedShortcutsBesideTheBackupAndRestoreBringsThemBack) {
    MakeFolders("S:\\Menu\\Sub");
    WriteBytes("S:\\Menu\\tool.exe", {'M', 'Z'});
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    SaveBrokenLink("S:\\Menu\\Sub\\Gone.lnk");
    SaveLink("S:\\Menu\\Working.lnk", "S:\\Menu\\tool.exe");
    const std::vector<BYTE> brokenBytes = ReadBytes("S:\\Menu\\Broken.lnk");
    const std::vector<BYTE> goneBytes = ReadBytes("S:\\Menu\\Sub\\Gone.lnk");
    shortcut.m_pfnProgress = RecordProgress;
    shortcut.ScanLinkFile();
    const std::vector<std::string> listed = shortcut.m_arrMissingLinks;
    ASSERT_EQ(listed.size(), 2u);
    Progress().clear();

    shortcut.FixLinkFile(backup);

    EXPECT_EQ(shortcut.m_nLinksFixed, 2);
    EXPECT_EQ(shortcut.m_arrMissingLinks, listed);
    EXPECT_FALSE(Exists("S:\\Menu\\Broken.lnk"));
    EXPECT_FALSE(Exists("S:\\Menu\\Sub\\Gone.lnk"));
    EXPECT_TRUE(Exists("S:\\Menu\\Working.lnk"));
    EXPECT_EQ(ReadBytes(backup + ".shortcuts\\S\\Menu\\Broken.lnk"), brokenBytes);
    EXPECT_EQ(ReadBytes(backup + ".shortcuts\\S\\Menu\\Sub\\Gone.lnk"), goneBytes);
    ASSERT_EQ(Progress().size(), 2u);
    for (size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(Progress()[i].item, listed[i]);
        EXPECT_EQ(Progress()[i].status, kStatusFixingShortcuts);
        EXPECT_EQ(Progress()[i].scanned, 0);
        EXPECT_EQ(Progress()[i].found, 0);
    }

    // The user removed the folder in the meantime: the restore creates it again.
    RemoveTree("S:\\Menu\\Sub");
    const shortcuts::ShortcutRestoreResult result = Restore(backup);

    std::vector<std::string> restored = result.restored;
    std::sort(restored.begin(), restored.end());
    EXPECT_EQ(restored, (std::vector<std::string>{"S:\\Menu\\Broken.lnk", "S:\\Menu\\Sub\\Gone.lnk"}));
    EXPECT_TRUE(result.notRestored.empty());
    EXPECT_EQ(ReadBytes("S:\\Menu\\Broken.lnk"), brokenBytes);
    EXPECT_EQ(ReadBytes("S:\\Menu\\Sub\\Gone.lnk"), goneBytes);
    EXPECT_FALSE(Exists(ShortcutBackupFolder(backup)));
    EXPECT_TRUE(Exists(backup));
}

TEST_F(ShortcutFix, FilesAlreadyGoneAreNeitherCountedNorKept) {
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    shortcut.ScanLinkFile();
    ASSERT_EQ(shortcut.m_nLinksFound, 1);
    DeleteFileA("S:\\Menu\\Broken.lnk");

    shortcut.FixLinkFile(backup);

    EXPECT_EQ(shortcut.m_nLinksFixed, 0);
    EXPECT_EQ(shortcut.m_arrMissingLinks, std::vector<std::string>{"S:\\Menu\\Broken.lnk"});
    EXPECT_FALSE(Exists(ShortcutBackupFolder(backup)));
    EXPECT_TRUE(Restore(backup).restored.empty());
}

TEST_F(ShortcutFix, AShortcutThatCannotBeKeptIsNotTakenAway) {
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\ReadOnly.lnk");
    SaveBrokenLink("S:\\Menu\\KeptBefore.lnk");
    SaveBrokenLink("S:\\Menu\\Plain.lnk");
    SetFileAttributesA("S:\\Menu\\ReadOnly.lnk", FILE_ATTRIBUTE_READONLY);
    shortcut.ScanLinkFile();
    ASSERT_EQ(shortcut.m_nLinksFound, 3);
    // An earlier fix of the same name already keeps a file there: it is never replaced.
    MakeFolders(backup + ".shortcuts\\S\\Menu");
    WriteBytes(Kept("S:\\Menu\\KeptBefore.lnk"), {'o', 'l', 'd'});

    shortcut.FixLinkFile(backup);

    EXPECT_EQ(shortcut.m_nLinksFixed, 1);
    EXPECT_TRUE(Exists("S:\\Menu\\ReadOnly.lnk"));
    EXPECT_FALSE(Exists(Kept("S:\\Menu\\ReadOnly.lnk")));
    EXPECT_TRUE(Exists("S:\\Menu\\KeptBefore.lnk"));
    EXPECT_EQ(ReadBytes(Kept("S:\\Menu\\KeptBefore.lnk")), (std::vector<BYTE>{'o', 'l', 'd'}));
    EXPECT_FALSE(Exists("S:\\Menu\\Plain.lnk"));
    EXPECT_TRUE(Exists(Kept("S:\\Menu\\Plain.lnk")));
}

TEST_F(ShortcutFix, WithoutABackupNameNothingIsTakenAway) {
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    shortcut.ScanLinkFile();
    ASSERT_EQ(shortcut.m_nLinksFound, 1);

    shortcut.FixLinkFile("");

    EXPECT_EQ(shortcut.m_nLinksFixed, 0);
    EXPECT_TRUE(Exists("S:\\Menu\\Broken.lnk"));
}

TEST_F(ShortcutFix, RestoreNeverReplacesAShortcutThatIsBackInPlace) {
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    SaveBrokenLink("S:\\Menu\\Other.lnk");
    shortcut.ScanLinkFile();
    shortcut.FixLinkFile(backup);
    ASSERT_EQ(shortcut.m_nLinksFixed, 2);
    WriteBytes("S:\\Menu\\Broken.lnk", {'n', 'e', 'w'});

    const shortcuts::ShortcutRestoreResult result = Restore(backup);

    EXPECT_EQ(result.restored, std::vector<std::string>{"S:\\Menu\\Other.lnk"});
    EXPECT_EQ(result.notRestored, std::vector<std::string>{"S:\\Menu\\Broken.lnk"});
    EXPECT_EQ(ReadBytes("S:\\Menu\\Broken.lnk"), (std::vector<BYTE>{'n', 'e', 'w'}));
    EXPECT_TRUE(Exists(Kept("S:\\Menu\\Broken.lnk")));
    EXPECT_FALSE(Exists(Kept("S:\\Menu\\Other.lnk")));
}

TEST_F(ShortcutFix, ADeepBackupFolderStillKeepsAndRestoresEveryShortcut) {
    const std::string deepWork = work + "\\" + std::string(120, 'w') + "\\" + std::string(60, 'v');
    MakeFolders(deepWork);
    backup = deepWork + "\\FixedOnMondayFebruary162004143005.xml";
    WriteBytes(backup, Bytes(kListingBackup));
    const std::string folder = "S:\\" + std::string(100, 'm');
    MakeFolders(folder);
    SaveBrokenLink(folder + "\\Broken.lnk");
    const std::vector<BYTE> bytes = ReadBytes(folder + "\\Broken.lnk");
    shortcut.ScanLinkFile();
    ASSERT_EQ(shortcut.m_nLinksFound, 1);
    ASSERT_GT(Kept(folder + "\\Broken.lnk").size(), static_cast<size_t>(MAX_PATH));

    shortcut.FixLinkFile(backup);
    EXPECT_EQ(shortcut.m_nLinksFixed, 1);
    EXPECT_FALSE(Exists(folder + "\\Broken.lnk"));
    EXPECT_EQ(ReadBytes(Kept(folder + "\\Broken.lnk")), bytes);

    EXPECT_EQ(Restore(backup).restored, std::vector<std::string>{folder + "\\Broken.lnk"});
    EXPECT_EQ(ReadBytes(folder + "\\Broken.lnk"), bytes);
}

TEST_F(ShortcutFix, RestorePutsBackOnlyTheShortcutFilesTheFixListed) {
    const struct {
        const char* backupText;
        const char* planted; // below the backup folder's S
        bool restored;
    } kCases[] = {
        {kListingBackup, "\\Menu\\evil.dll", false},
        {kListingBackup, "\\Menu\\Planted.lnk", false},
        {kOlderBackup, "\\Menu\\evil.dll", false},
        {kOlderBackup, "\\Menu\\Old.lnk", true},
    };
    for (const auto& c : kCases) {
        WriteBytes(backup, Bytes(c.backupText));
        const std::string kept = backup + ".shortcuts\\S" + c.planted;
        MakeFolders(backup + ".shortcuts\\S\\Menu");
        WriteBytes(kept, {'x'});

        const shortcuts::ShortcutRestoreResult result = Restore(backup);

        EXPECT_EQ(Exists(std::string("S:") + c.planted), c.restored) << c.planted;
        EXPECT_EQ(result.leftInFolder,
                  c.restored ? std::vector<std::string>{} : std::vector<std::string>{kept});
        EmptyFolder("S:\\");
        RemoveTree(backup + ".shortcuts");
    }
    // A listed shortcut goes back to its own place only.
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    shortcut.ScanLinkFile();
    shortcut.FixLinkFile(backup);
    EXPECT_NE(ReadBytes(backup).size(), Bytes(kListingBackup).size());
    EXPECT_EQ(Restore(backup).restored, std::vector<std::string>{"S:\\Menu\\Broken.lnk"});
}

TEST_F(ShortcutFix, RestoreTakesOnlyWhatIsBelowADriveFolder) {
    WriteBytes(backup, Bytes(kOlderBackup));
    EXPECT_TRUE(Restore(backup).restored.empty());
    EXPECT_TRUE(Restore("").restored.empty());
    MakeFolders(backup + ".shortcuts\\notadrive");
    MakeFolders(backup + ".shortcuts\\s");
    WriteBytes(backup + ".shortcuts\\notadrive\\x.lnk", {'x'});
    WriteBytes(backup + ".shortcuts\\y.lnk", {'y'});
    WriteBytes(backup + ".shortcuts\\s\\Root.lnk", {'r'});

    const shortcuts::ShortcutRestoreResult result = Restore(backup);

    EXPECT_EQ(result.restored, std::vector<std::string>{"S:\\Root.lnk"});
    EXPECT_TRUE(result.notRestored.empty());
    EXPECT_EQ(ReadBytes("S:\\Root.lnk"), std::vector<BYTE>{'r'});
    EXPECT_TRUE(Exists(backup + ".shortcuts\\notadrive\\x.lnk"));
    EXPECT_TRUE(Exists(backup + ".shortcuts\\y.lnk"));
}

} // namespace
