// Pictures of the four screens as the user sees them, into the build's screenshots folder: the scan and
// the fix each held after their first item, so that their progress texts show.
#include "scan_dialog_harness.h"

#include "support/test_paths.h"

namespace {

using dialogtest::DialogRun;
using dialogtest::GatedRegistry;

class ScanDialogPictures : public dialogtest::ScanDialogTest {
protected:
    testsupport::MemoryRegistry registry;
    GatedRegistry gated{registry};

    void Capture(DialogRun& run, const std::string& name) {
        run.Sync();
        Sleep(600); // painting comes last in the dialog's queue; the animation moves on meanwhile
        run.Sync();
        const std::string folder = testsupport::BinaryPath("screenshots");
        CreateDirectoryA(folder.c_str(), nullptr);
        EXPECT_TRUE(dialogtest::SaveWindowPicture(run.Window(), folder + "\\" + name)) << name;
    }
};

TEST_F(ScanDialogPictures, FourScreens) {
    dialogtest::SeedFindings(registry, missing);
    registry.FailEvery(testsupport::MemoryRegistry::Op::DeleteKey, ERROR_ACCESS_DENIED,
                       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\OrvalinTool");
    gated.Close(GatedRegistry::Gate::Scan, 2);
    DialogRun run(Options(gated), skinPath);
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorScan));
    ASSERT_TRUE(gated.WaitUntilHeld());
    EXPECT_EQ(run.Dialog().TextOf("TEXT_ERRORSCAN_STATUS"), "Scanning CLSID");
    Capture(run, "scan-dialog-1-errorscan.png");
    gated.Open();

    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ScanComplete));
    Capture(run, "scan-dialog-2-scancomplete.png");

    gated.Close(GatedRegistry::Gate::Fix, 2);
    ASSERT_TRUE(run.Click("BUTTON_FIXERROR"));
    ASSERT_TRUE(gated.WaitUntilHeld());
    ASSERT_TRUE(run.WaitForScreen(ScanScreen::ErrorFixing));
    EXPECT_EQ(run.Dialog().TextOf("TEXT_ERRORFIXING_STATUS"), "Fixing CLSID ");
    Capture(run, "scan-dialog-3-errorfixing.png");
    gated.Open();

    ASSERT_TRUE(run.WaitForScreen(ScanScreen::FixComplete));
    Capture(run, "scan-dialog-4-fixcomplete.png");
    ASSERT_TRUE(run.Click("BUTTON_OK"));
    EXPECT_TRUE(run.Ended(10000));
}

} // namespace
