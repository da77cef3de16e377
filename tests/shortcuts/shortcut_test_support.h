#pragma once
// Test drives, shortcut files and a progress recorder for the shortcut tests.
// Drives of the test prefix (tools/prefix.d/shortcut-drives.sh): S: fixed and owned by these tests
// (emptied before and after each case), R: fixed with directory symlinks that loop, T: CD-ROM,
// U: removable, V: network.
#include "engine/scan_events.h"

#include <windows.h>

#include <string>
#include <vector>

namespace shortcut_test {

inline constexpr char kFixedDrive[] = "S:";
inline constexpr char kLoopDrive[] = "R:";
inline constexpr char kCdromDrive[] = "T:";
inline constexpr char kRemovableDrive[] = "U:";
inline constexpr char kNetworkDrive[] = "V:";

// A drive letter that no drive of the prefix uses.
char AbsentDriveLetter();

bool Exists(const std::string& path);
// Creates a folder and the folders above it (also beyond MAX_PATH).
void MakeFolders(const std::string& path);
// Deletes everything below a folder, leaving the folder; symlinks are removed, never followed.
void EmptyFolder(const std::string& folder);
void RemoveTree(const std::string& folder);

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
std::vector<BYTE> ReadBytes(const std::string& path);

// A shortcut saved by the shell's link object, pointing at target.
void SaveLink(const std::string& linkPath, const std::string& target);
// A shortcut whose target existed when it was made and was deleted afterwards.
void SaveBrokenLink(const std::string& linkPath);
// A shortcut to "My Computer": a shell location without a file-system path.
void SaveShellLocationLink(const std::string& linkPath);
// Hand-made shortcut files: one whose link information holds this local path (any length), and one
// advertised by an installer (a Darwin descriptor and no path).
std::vector<BYTE> LinkFileWithLocalPath(const std::string& target);
std::vector<BYTE> AdvertisedLinkFile();

struct ProgressCall {
    std::string item;
    std::string status;
    int scanned;
    int found;
};
// The progress callback of the tests: appends to Progress(); calls StopAfter's hook when it is due.
void RecordProgress(std::string item, std::string status, int scanned, int found);
std::vector<ProgressCall>& Progress();
// Signals the stop event from within the callback once a call with this status has been recorded
// count times; an empty status turns it off.
void StopAfter(const std::string& status, int count);

} // namespace shortcut_test

#include <gtest/gtest.h>

namespace shortcut_test {

// Every case starts and ends with the test drives empty, the stop event reset and no progress recorded.
class ShortcutDriveTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

private:
    static void Clean() {
        BeginRun();
        StopAfter("", 0);
        Progress().clear();
        for (const char* drive : {kFixedDrive, kCdromDrive, kRemovableDrive, kNetworkDrive}) {
            EmptyFolder(drive);
        }
    }
};

// An empty backup as the fix writes it, ready for the shortcuts it moves to be listed in it.
inline constexpr char kListingBackup[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry shortcuts=\"listed\">\r\n </registry>\r\n";

} // namespace shortcut_test
