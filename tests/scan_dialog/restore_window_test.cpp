// The window's restore: the progress window and its Cancel, and the one question asked before values that
// changed since the backup are replaced.
#include "scan_dialog_harness.h"

#include <atomic>

#include "scan_dialog/restore_backup.h"
#include "scan_dialog/restore_progress.h"

namespace {

constexpr char kKey[] = "HKEY_CURRENT_USER\\Software\\OrvalinRestoreTest";

std::string Text(const testsupport::MemoryRegistry& registry, const char* name) {
    const auto value = registry.GetValue(kKey, name);
    return value ? std::string(value->data.begin(), value->data.end()).c_str() : std::string("<none>");
}

class RestoreWindow : public dialogtest::ScanDialogTest {};

TEST_F(RestoreWindow, ProgressShowsTheStatusAndCancelReachesTheWork) {
    std::atomic<bool> statusShown{false};
    std::atomic<bool> cancelSeen{false};
    WorkProgressDialog* window = nullptr;
    WorkProgressDialog dialog(
        "Registry Restoration",
        [&] {
            // The user reads the status, then presses Cancel; the work sees it between two entries.
            char text[128] = {};
            for (int i = 0; i < 1000 && !statusShown; ++i, Sleep(10)) {
                GetDlgItemTextA(window->Hwnd(), 100, text, sizeof text);
                statusShown = std::string(text) == "7 values written";
            }
            PostMessageA(window->Hwnd(), WM_COMMAND, IDCANCEL, 0);
            for (int i = 0; i < 1000 && !cancelSeen; ++i, Sleep(10)) {
                cancelSeen = window->CancelRequested();
            }
        },
        [] { return std::string("7 values written"); });
    window = &dialog;
    dialog.Run(nullptr); // returns only when the work has ended
    EXPECT_TRUE(statusShown);
    EXPECT_TRUE(cancelSeen);
}

TEST_F(RestoreWindow, AValueChangedSinceTheBackupIsReplacedOnlyWhenTheOneQuestionSaysSo) {
    const std::string file = folder + "\\FixedOnTest.xml";
    dialogtest::WriteBytes(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry>\r\n"
                                 "  <k name=\"HKEY_CURRENT_USER\">\r\n   <k name=\"Software\">\r\n"
                                 "    <k name=\"OrvalinRestoreTest\">\r\n"
                                 "     <v name=\"Setting\" value=\"old\"/>\r\n"
                                 "     <v name=\"Gone\" value=\"back\"/>\r\n"
                                 "    </k>\r\n   </k>\r\n  </k>\r\n </registry>\r\n");
    const struct {
        int answer;
        const char* setting;
        const char* gone;
        bool restored;
    } cases[] = {
        {IDYES, "old", "back", true},
        {IDNO, "changed", "back", true},
        {IDCANCEL, "changed", "<none>", false},
    };
    for (const auto& c : cases) {
        testsupport::MemoryRegistry registry;
        registry.SetString(kKey, "Setting", "changed");
        boxes.shown.clear();
        boxes.answer = c.answer;
        EXPECT_EQ(RestoreFromBackupFile(nullptr, file, registry, boxes), c.restored) << c.answer;
        EXPECT_EQ(Text(registry, "Setting"), c.setting) << c.answer;
        EXPECT_EQ(Text(registry, "Gone"), c.gone) << c.answer;
        int asked = 0;
        for (const std::string& text : boxes.Texts()) {
            asked += text == DifferingValuesQuestion(1) ? 1 : 0;
        }
        EXPECT_EQ(asked, 1) << c.answer;
    }
}

} // namespace
