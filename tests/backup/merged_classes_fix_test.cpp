// Fix and restore through the merged classes view: the per-user copy goes and comes back in the user's hive.
#include "backup/xml_reader.h"
#include "engine/engine_test_support.h"
#include "support/recording_boxes.h"

namespace {

using enginetest::kClass;
using enginetest::kMachine;
using enginetest::kProgId;
using enginetest::kUser;
using MergedClassesFix = enginetest::MergedClassesTest;

// Fix and restore of a dead per-user class over a working machine-wide one: the user's copy goes and comes
// back in the user's hive; the machine's copy is never touched.
TEST_F(MergedClassesFix, FixAndRestoreUseTheUsersHive) {
    Class(kUser, missing);
    Class(kMachine, present);
    const std::string machineClass = std::string(kMachine) + "\\CLSID\\" + kClass + "\\InprocServer32";
    const std::string userClass = std::string(kUser) + "\\CLSID\\" + kClass + "\\InprocServer32";
    ASSERT_EQ(Findings().size(), 2u);
    const std::string backup = folder + "\\merged.xml";
    ScanErrorList rows;
    lib.FixRegistry(rows, backup);
    EXPECT_FALSE(registry.KeyExists(userClass));
    EXPECT_FALSE(registry.KeyExists(std::string(kUser) + "\\" + kProgId));
    EXPECT_TRUE(registry.KeyExists(std::string(kMachine) + "\\" + kProgId));
    EXPECT_EQ(registry.Values(machineClass)[0].data.size(), present.size() + 1);

    testsupport::RecordingBoxes boxes;
    CRegistryLib restorer(registry, boxes);
    CXmlReader reader;
    EXPECT_EQ(restorer.LoadAsXml(reader, backup), 1);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
    ASSERT_TRUE(registry.GetValue(userClass, "").has_value());
    EXPECT_EQ(registry.GetValue(userClass, "")->data.size(), missing.size() + 1);
    EXPECT_EQ(registry.GetValue(machineClass, "")->data.size(), present.size() + 1);
    DeleteFileA(backup.c_str());
}

} // namespace
