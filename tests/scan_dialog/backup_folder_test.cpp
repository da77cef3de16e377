// Where the window's fixes keep their backups.
#include <gtest/gtest.h>

#include <windows.h>

#include "scan_dialog/backup_folder.h"
#include "support/test_paths.h"

TEST(BackupFolder, LocalApplicationDataCreatedWhenFirstNeeded) {
    const std::string window = WindowBackupFolder();
    ASSERT_GT(window.size(), 17u);
    EXPECT_EQ(window.substr(window.size() - 17), "\\Orvalin\\Backups\\");

    const std::string folder = testsupport::MakeTempFolder("backups") + "\\Orvalin\\Backups\\";
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string path = BackupPathIn(folder);
    EXPECT_EQ(path.rfind(folder + "FixedOn", 0), 0u) << path;
    EXPECT_NE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(BackupPathIn("").rfind("FixedOn", 0), 0u); // the current directory, as the console's
}
