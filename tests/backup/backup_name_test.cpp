#include "backup/backup_name.h"

#include "backup/backup_test_support.h"
#include "backup/file_bytes.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

TEST(BackupName, FormatsTheLocalTimeWithFullNamesAndNoSeparators) {
    const backuptest::FixedClock monday(base::LocalTime{2004, 2, 16, 1, 14, 30, 5});
    EXPECT_EQ(backup::BackupFileName(monday), "FixedOnMondayFebruary162004143005.xml");
    const backuptest::FixedClock newYear(base::LocalTime{2026, 1, 1, 4, 0, 0, 0});
    EXPECT_EQ(backup::BackupFileName(newYear), "FixedOnThursdayJanuary012026000000.xml");
    EXPECT_EQ(backup::BackupFileName().rfind("FixedOn", 0), 0u);
}

TEST(BackupName, ATakenNameGetsTheNextFreeSuffixBeforeItsExtension) {
    const std::string folder = backuptest::FreshFolder("names");
    const std::string name = folder + "\\FixedOnX.xml";
    EXPECT_EQ(backup::ReserveBackupFile(name), name);
    EXPECT_EQ(backup::ReserveBackupFile(name), folder + "\\FixedOnX-2.xml");
    EXPECT_EQ(backup::ReserveBackupFile(name), folder + "\\FixedOnX-3.xml");
    EXPECT_EQ(backup::ReserveBackupFile(folder + "\\plain"), folder + "\\plain");
    EXPECT_EQ(backup::ReserveBackupFile(folder + "\\plain"), folder + "\\plain-2");
    EXPECT_EQ(backuptest::ReadBytes(name), ""); // reserved, not written
    EXPECT_EQ(backup::ReserveBackupFile(folder + "\\missing\\b.xml"), "");
    EXPECT_EQ(backup::ReserveBackupFile(""), "");
}
