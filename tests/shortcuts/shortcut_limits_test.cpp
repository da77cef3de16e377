// What the shortcut scan must leave alone: targets it cannot judge, cloud placeholders, cloud and backup
// folders, other users' profiles, drives outside the prefix; and a fix that judges each shortcut again.
#include "shortcut_test_support.h"
#include "shortcuts/link_target.h"
#include "shortcuts/shortcut.h"
#include "shortcuts/walk_limits.h"
#include "support/file_bytes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace shortcut_test;

namespace {

class ShortcutLimits : public ShortcutDriveTest {
protected:
    std::vector<std::string> Listed() {
        shortcut.LimitToDrives("S");
        shortcut.ScanLinkFile();
        std::vector<std::string> listed = shortcut.m_arrMissingLinks;
        std::sort(listed.begin(), listed.end());
        return listed;
    }

    CShortcut shortcut;
};

// A target that holds variables is judged after every one is expanded; one left over, or a drive written
// twice (as Wine writes "C:\%SystemRoot%\x"), cannot be judged.
TEST_F(ShortcutLimits, TargetsWithVariablesAreExpandedOrLeftAlone) {
    const struct {
        const char* name;
        const char* target;
        bool listed;
    } cases[] = {
        {"present.lnk", "%SystemRoot%\\notepad.exe", false},
        {"gone.lnk", "%SystemRoot%\\orvalin-no-such-file.exe", true},
        {"two.lnk", "%SystemDrive%\\%NoSuchOrvalinVariable%\\x.exe", false},
        {"unknown.lnk", "%NoSuchOrvalinVariable%\\x.exe", false},
        {"glued.lnk", "C:\\%SystemRoot%\\orvalin-no-such-file.exe", false},
    };
    MakeFolders("S:\\Vars");
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        WriteBytes(std::string("S:\\Vars\\") + c.name, LinkFileWithLocalPath(c.target));
        if (c.listed) {
            expected.push_back(std::string("S:\\Vars\\") + c.name);
        }
    }
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(shortcut.m_nLinksScanned, 5);
}

// Placeholders are never opened nor listed; the folders kept beside backups and the cloud folders named
// in the user's environment are not walked. Resolving never rewrites a link.
TEST_F(ShortcutLimits, PlaceholdersBackupAndCloudFoldersAreNotScanned) {
    for (const char* folder : {"S:\\Desk", "S:\\Old\\FixedOnMonday.xml.shortcuts\\S\\Desk",
                               "S:\\Old\\mine.XML.SHORTCUTS", "S:\\Cloud\\Sub"}) {
        MakeFolders(folder);
    }
    for (const char* link : {"S:\\Desk\\Broken.lnk", "S:\\Desk\\Offline.lnk",
                             "S:\\Old\\FixedOnMonday.xml.shortcuts\\S\\Desk\\Kept.lnk",
                             "S:\\Old\\mine.XML.SHORTCUTS\\Kept.lnk", "S:\\Cloud\\Sub\\Synced.lnk"}) {
        SaveBrokenLink(link);
    }
    ASSERT_TRUE(SetFileAttributesA("S:\\Desk\\Offline.lnk", FILE_ATTRIBUTE_OFFLINE));
    const bool offlineKept = (GetFileAttributesA("S:\\Desk\\Offline.lnk") & FILE_ATTRIBUTE_OFFLINE) != 0;
    const std::vector<BYTE> before = ReadBytes("S:\\Desk\\Broken.lnk");
    HKEY environment = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Environment", &environment), ERROR_SUCCESS);
    const char cloud[] = "S:\\Cloud\\";
    RegSetValueExA(environment, "OneDriveOrvalinTest", 0, REG_SZ, reinterpret_cast<const BYTE*>(cloud),
                   sizeof cloud);

    const std::vector<std::string> listed = Listed();

    RegDeleteValueA(environment, "OneDriveOrvalinTest");
    RegCloseKey(environment);
    std::vector<std::string> expected = {"S:\\Desk\\Broken.lnk"};
    if (!offlineKept) {
        expected.push_back("S:\\Desk\\Offline.lnk"); // this file system kept no offline attribute
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(ReadBytes("S:\\Desk\\Broken.lnk"), before);
    EXPECT_TRUE(shortcuts::IsCloudPlaceholder(shortcuts::kRecallOnDataAccess | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(shortcuts::IsCloudPlaceholder(shortcuts::kRecallOnOpen));
    EXPECT_FALSE(shortcuts::IsCloudPlaceholder(INVALID_FILE_ATTRIBUTES));
}

TEST_F(ShortcutLimits, OnlyOtherUsersProfilesAreLeftOut) {
    for (const char* profile : {"Me", "Public", "Other", "Default"}) {
        MakeFolders(std::string("S:\\Users\\") + profile);
    }
    WriteBytes("S:\\Users\\notes.txt", {'x'});
    std::vector<std::string> others =
        shortcuts::OtherProfiles("S:\\Users", {"s:\\users\\me", "S:\\Users\\Public"});
    std::sort(others.begin(), others.end());
    EXPECT_EQ(others, (std::vector<std::string>{"S:\\Users\\Default", "S:\\Users\\Other"}));
    EXPECT_TRUE(shortcuts::OtherProfiles("", {}).empty());
}

// Z: of a Wine prefix is the whole host file system; the prefix's own drives are inside it.
TEST(ShortcutDrives, OnlyDrivesInsideThePrefixAreWalkedUnasked) {
    const struct {
        char letter;
        bool leaves;
    } cases[] = {{'C', false}, {'S', false}, {'Z', true}};
    for (const auto& c : cases) {
        EXPECT_EQ(shortcuts::DriveLeavesWinePrefix(c.letter), c.leaves) << c.letter;
    }
}

// A shortcut whose target came back between the scan and the fix stays where it is.
TEST_F(ShortcutLimits, TheFixJudgesEachShortcutAgain) {
    MakeFolders("S:\\Menu");
    WriteBytes("S:\\Menu\\tool.exe", {'M', 'Z'});
    SaveLink("S:\\Menu\\Back.lnk", "S:\\Menu\\tool.exe");
    DeleteFileA("S:\\Menu\\tool.exe");
    SaveBrokenLink("S:\\Menu\\Gone.lnk");
    ASSERT_EQ(Listed(), (std::vector<std::string>{"S:\\Menu\\Back.lnk", "S:\\Menu\\Gone.lnk"}));
    WriteBytes("S:\\Menu\\tool.exe", {'M', 'Z'});
    const std::string work = testsupport::MakeTempFolder("shortcut_limits");
    const std::string backup = work + "\\FixedOnTest.xml";
    testsupport::WriteBytes(backup, shortcut_test::kListingBackup);

    shortcut.FixLinkFile(backup);

    EXPECT_EQ(shortcut.m_nLinksFixed, 1);
    EXPECT_EQ(shortcut.m_nLinksNoLongerBroken, 1);
    EXPECT_TRUE(Exists("S:\\Menu\\Back.lnk"));
    EXPECT_FALSE(Exists("S:\\Menu\\Gone.lnk"));
    RemoveTree(work);
}

} // namespace
