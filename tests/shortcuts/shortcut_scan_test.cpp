#include "shortcut_test_support.h"
#include "shortcuts/shortcut.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace shortcut_test;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

std::vector<std::string> FoldersReported() {
    std::vector<std::string> folders;
    for (const ProgressCall& call : Progress()) {
        if (call.status == kStatusSearchingFolders) {
            folders.push_back(call.item);
        }
    }
    return folders;
}

class ShortcutScan : public ShortcutDriveTest {
protected:
    void ScanDrives(const std::string& letters) {
        shortcut.m_pfnProgress = RecordProgress;
        shortcut.LimitToDrives(letters);
        shortcut.ScanLinkFile();
    }

    CShortcut shortcut;
};

TEST_F(ShortcutScan, ListsMissingTargetsInEveryFolderBelowTheRootButNotInTheRoot) {
    MakeFolders("S:\\Apps\\Data");
    MakeFolders("S:\\Apps\\Deep\\er\\and\\deeper");
    MakeFolders("S:\\Hidden");
    SetFileAttributesA("S:\\Hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteBytes("S:\\Apps\\tool.exe", {'M', 'Z'});
    SaveBrokenLink("S:\\RootBroken.lnk");
    SaveBrokenLink("S:\\Apps\\Broken.lnk");
    SaveBrokenLink("S:\\Apps\\UPPER.LNK");
    SaveLink("S:\\Apps\\Working.lnk", "S:\\Apps\\tool.exe");
    SaveLink("S:\\Apps\\Folder.lnk", "S:\\Apps\\Data");
    SaveBrokenLink("S:\\Apps\\Deep\\er\\and\\deeper\\Gone.lnk");
    SaveBrokenLink("S:\\Hidden\\Broken.lnk");

    ScanDrives("s");

    EXPECT_EQ(shortcut.m_nLinksScanned, 6);
    EXPECT_EQ(shortcut.m_nLinksFound, 4);
    EXPECT_EQ(Sorted(shortcut.m_arrMissingLinks),
              Sorted({"S:\\Apps\\Broken.lnk", "S:\\Apps\\UPPER.LNK",
                      "S:\\Apps\\Deep\\er\\and\\deeper\\Gone.lnk", "S:\\Hidden\\Broken.lnk"}));
    EXPECT_EQ(shortcut.m_nLinksFixed, 0);
}

TEST_F(ShortcutScan, NeverListsAShortcutWhoseTargetCannotBeVerified) {
    const std::string odd = "S:\\Odd";
    MakeFolders(odd + "\\folder.lnk");
    SaveBrokenLink(odd + "\\valid.lnk");
    const std::vector<BYTE> valid = ReadBytes(odd + "\\valid.lnk");
    DeleteFileA((odd + "\\valid.lnk").c_str());
    WriteBytes(odd + "\\truncated.lnk", std::vector<BYTE>(valid.begin(), valid.begin() + 60));
    WriteBytes(odd + "\\empty.lnk", {});
    std::vector<BYTE> noise(512);
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<BYTE>(i * 37 + 11);
    }
    WriteBytes(odd + "\\corrupt.lnk", noise);
    SaveShellLocationLink(odd + "\\computer.lnk");
    WriteBytes(odd + "\\advertised.lnk", AdvertisedLinkFile());
    // 260 characters do not fit the 260-byte buffer with its NUL; 259 do and are checked.
    const std::string tooLong = "S:\\" + std::string(251, 'a') + "\\x.exe";
    const std::string fits = "S:\\" + std::string(250, 'a') + "\\x.exe";
    ASSERT_EQ(tooLong.size(), 260u);
    WriteBytes(odd + "\\toolong.lnk", LinkFileWithLocalPath(tooLong));
    WriteBytes(odd + "\\fits.lnk", LinkFileWithLocalPath(fits));
    WriteBytes(odd + "\\cdrom.lnk", LinkFileWithLocalPath("T:\\Setup\\setup.exe"));
    WriteBytes(odd + "\\removable.lnk", LinkFileWithLocalPath("U:\\Photos\\viewer.exe"));
    WriteBytes(odd + "\\network.lnk", LinkFileWithLocalPath("V:\\Shared\\tool.exe"));
    WriteBytes(odd + "\\absent.lnk",
               LinkFileWithLocalPath(std::string(1, AbsentDriveLetter()) + ":\\x\\app.exe"));
    WriteBytes(odd + "\\unc.lnk", LinkFileWithLocalPath("\\\\server\\share\\app.exe"));
    WriteBytes(odd + "\\relative.lnk", LinkFileWithLocalPath("app\\app.exe"));
    // A bare name is not searched for, and a name no file can bear is no file that could be missing.
    WriteBytes(odd + "\\bare.lnk", LinkFileWithLocalPath("orvalin-gone.exe"));
    WriteBytes(odd + "\\wildcard.lnk", LinkFileWithLocalPath("S:\\Gone\\app*.exe"));

    ScanDrives("S");

    EXPECT_EQ(shortcut.m_nLinksScanned, 15); // every file, not the folder named like one
    EXPECT_EQ(shortcut.m_arrMissingLinks, std::vector<std::string>{odd + "\\fits.lnk"});
    EXPECT_EQ(shortcut.m_nLinksFound, 1);
}

TEST_F(ShortcutScan, ResolveShortCutReturnsTheShellLinkResult) {
    MakeFolders("S:\\R");
    WriteBytes("S:\\R\\corrupt.lnk", {1, 2, 3});
    SaveBrokenLink("S:\\R\\broken.lnk");

    EXPECT_TRUE(FAILED(shortcut.ResolveShortCut("S:\\R\\corrupt.lnk")));
    EXPECT_EQ(shortcut.ResolveShortCut("S:\\R\\broken.lnk"), S_OK);
    EXPECT_TRUE(FAILED(shortcut.ResolveShortCut("S:\\R\\missing.lnk")));
    EXPECT_EQ(shortcut.m_nLinksScanned, 3);
    EXPECT_EQ(shortcut.m_arrMissingLinks, std::vector<std::string>{"S:\\R\\broken.lnk"});
}

TEST_F(ShortcutScan, OnlyFixedDrivesAreWalked) {
    for (const char* drive : {kCdromDrive, kRemovableDrive, kNetworkDrive}) {
        MakeFolders(std::string(drive) + "\\Menu");
        SaveBrokenLink(std::string(drive) + "\\Menu\\Broken.lnk");
    }

    ScanDrives("TUV");
    EXPECT_EQ(shortcut.m_nLinksScanned, 0);
    EXPECT_TRUE(shortcut.m_arrMissingLinks.empty());
    EXPECT_TRUE(Progress().empty());

    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    ScanDrives("TUVS");
    EXPECT_EQ(shortcut.m_nLinksScanned, 1);
    EXPECT_EQ(shortcut.m_arrMissingLinks, std::vector<std::string>{"S:\\Menu\\Broken.lnk"});
}

TEST_F(ShortcutScan, TheDefaultScanWalksEveryFixedDriveAndNoOther) {
    MakeFolders("S:\\Desktop");
    SaveBrokenLink("S:\\Desktop\\Broken.lnk");
    MakeFolders("T:\\Menu");
    SaveBrokenLink("T:\\Menu\\Broken.lnk");

    shortcut.ScanLinkFile();

    const auto& missing = shortcut.m_arrMissingLinks;
    EXPECT_EQ(std::count(missing.begin(), missing.end(), "S:\\Desktop\\Broken.lnk"), 1);
    for (const std::string& path : missing) {
        const char drive[] = {path[0], path[1], '\\', '\0'};
        EXPECT_EQ(GetDriveTypeA(drive), static_cast<UINT>(DRIVE_FIXED)) << path;
    }
    EXPECT_EQ(shortcut.m_nLinksFound, static_cast<int>(missing.size()));
}

TEST_F(ShortcutScan, DirectoryLinksAreNotFollowed) {
    // R:\top\a\up -> R:\top, R:\top\a\b\back -> R:\top, R:\top\a\b\sideways -> R:\top\a
    const std::string link = "R:\\top\\a\\b\\Broken.lnk";
    SaveBrokenLink(link);

    ScanDrives("R");
    DeleteFileA(link.c_str());

    EXPECT_EQ(shortcut.m_nLinksScanned, 1);
    EXPECT_EQ(shortcut.m_arrMissingLinks, std::vector<std::string>{link});
    EXPECT_EQ(FoldersReported(), (std::vector<std::string>{"R:\\top", "R:\\top\\a", "R:\\top\\a\\b"}));
}

TEST_F(ShortcutScan, WalksDeepTreesDepthFirstAndSkipsPathsBeyondMaxPath) {
    // A chain of folders that ends far beyond MAX_PATH, with a side folder holding a broken shortcut
    // at every level, and a small wide tree beside it.
    std::string level = "S:\\deep";
    std::vector<std::string> expected;
    while (level.size() < 400) {
        MakeFolders(level + "\\side");
        const std::string link = level + "\\side\\L.lnk";
        WriteBytes(link, LinkFileWithLocalPath("S:\\gone.exe"));
        if (link.size() < MAX_PATH) {
            expected.push_back(link);
        }
        level += "\\d";
    }
    for (const char* branch : {"S:\\wide\\p\\1", "S:\\wide\\p\\2", "S:\\wide\\q\\1\\x", "S:\\wide\\r"}) {
        MakeFolders(branch);
    }

    ScanDrives("S");

    EXPECT_EQ(shortcut.m_nLinksScanned, static_cast<int>(expected.size()));
    EXPECT_TRUE(Sorted(shortcut.m_arrMissingLinks) == Sorted(expected));
    // Depth first: every folder comes after its parent, and once the walk has left a folder's
    // subtree nothing below that folder is reported again.
    const std::vector<std::string> folders = FoldersReported();
    ASSERT_GT(folders.size(), 100u);
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::string parent = folders[i].substr(0, folders[i].rfind('\\'));
        if (parent.size() > 2) {
            EXPECT_NE(std::find(folders.begin(), folders.begin() + static_cast<long>(i), parent),
                      folders.begin() + static_cast<long>(i))
                << folders[i];
        }
        bool left = false;
        for (size_t j = i + 1; j < folders.size(); ++j) {
            const bool below = folders[j].rfind(folders[i] + "\\", 0) == 0;
            EXPECT_FALSE(left && below) << folders[j] << " after leaving " << folders[i];
            left = left || !below;
        }
    }
    for (const std::string& folder : folders) {
        EXPECT_LT(folder.size() + 4, static_cast<size_t>(MAX_PATH));
    }
}

TEST_F(ShortcutScan, AStopBeforeTheScanLeavesCountersAndListEmpty) {
    MakeFolders("S:\\Menu");
    SaveBrokenLink("S:\\Menu\\Broken.lnk");
    ScanDrives("S");
    ASSERT_EQ(shortcut.m_nLinksFound, 1);
    shortcut.m_nLinksFixed = 1;
    Progress().clear();

    RequestStop();
    ScanDrives("S");

    EXPECT_EQ(shortcut.m_nLinksScanned, 0);
    EXPECT_EQ(shortcut.m_nLinksFound, 0);
    EXPECT_EQ(shortcut.m_nLinksFixed, 0);
    EXPECT_TRUE(shortcut.m_arrMissingLinks.empty());
    EXPECT_TRUE(Progress().empty());
}

TEST_F(ShortcutScan, AStopDuringTheScanEndsItWithinOneEntry) {
    for (const char* folder : {"S:\\A\\sub", "S:\\B\\sub", "S:\\C\\sub"}) {
        MakeFolders(folder);
        for (const char* name : {"\\one.lnk", "\\two.lnk"}) {
            SaveBrokenLink(std::string(folder) + name);
            SaveBrokenLink(std::string(folder).substr(0, 4) + name);
        }
    }
    StopAfter(kStatusScanningShortcuts, 1);

    ScanDrives("S");

    EXPECT_EQ(shortcut.m_nLinksScanned, 1);
    EXPECT_EQ(shortcut.m_nLinksFound, 1);
    EXPECT_EQ(shortcut.m_arrMissingLinks.size(), 1u);
    EXPECT_LE(FoldersReported().size(), 1u);
}

TEST_F(ShortcutScan, ReportsEveryShortcutAndEveryFolder) {
    MakeFolders("S:\\P\\Q");
    WriteBytes("S:\\P\\tool.exe", {'M', 'Z'});
    SaveBrokenLink("S:\\P\\a.lnk");
    SaveLink("S:\\P\\b.lnk", "S:\\P\\tool.exe");
    WriteBytes("S:\\P\\readme.txt", {'x'});

    ScanDrives("S");

    const std::vector<ProgressCall>& calls = Progress();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].status, kStatusScanningShortcuts);
    EXPECT_EQ(calls[0].scanned, 1);
    EXPECT_EQ(calls[0].found, 0);
    EXPECT_EQ(calls[1].status, kStatusScanningShortcuts);
    EXPECT_EQ(calls[1].scanned, 2);
    EXPECT_EQ(Sorted({calls[0].item, calls[1].item}), Sorted({"S:\\P\\a.lnk", "S:\\P\\b.lnk"}));
    EXPECT_EQ(calls[2].item, "S:\\P");
    EXPECT_EQ(calls[2].status, kStatusSearchingFolders);
    EXPECT_EQ(calls[2].scanned, 2);
    EXPECT_EQ(calls[2].found, 1);
    EXPECT_EQ(calls[3].item, "S:\\P\\Q");
}

} // namespace
