// The ignore command and the fix's --only and --exclude, in-process on the test prefix's registry: two
// broken classes seeded under unique names.
#include "cli/commands.h"
#include "command_capture.h"
#include "engine/finding_id.h"
#include "engine/ignore_list.h"
#include "json_check.h"
#include "support/file_bytes.h"
#include "support/real_registry.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using testcli::Captured;
using testcli::RunCommand;

constexpr char kMachineClasses[] = "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\";

void SetDefault(const std::string& keyPath, const std::string& data) {
    testsupport::SetRealString(HKEY_CLASSES_ROOT, keyPath, nullptr, data);
}

bool ClassExists(const std::string& name) {
    return testsupport::RealKeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + name);
}

// The ignore list as `ignore list` prints it.
std::string ListOutput() {
    return RunCommand(cli::IgnoreCommand, {"list"}).out;
}

class IgnoreCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string* name : {&first, &second}) {
            SetDefault("CLSID\\" + *name + "\\InprocServer32",
                       "C:\\" + testsupport::UniqueName("Gone") + "\\s.dll");
        }
    }
    void TearDown() override {
        for (const std::string* name : {&first, &second}) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ("CLSID\\" + *name).c_str());
        }
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, engine::kIgnoreKey, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, Id(first).c_str());
            RegDeleteValueA(key, Id(second).c_str());
            RegCloseKey(key);
        }
        DeleteFileA(backup.c_str());
    }
    static std::string Id(const std::string& name) {
        return engine::FindingId({"CLSID", kMachineClasses + name, ""});
    }

    const std::string first = "{" + testsupport::UniqueName("IgnoreA") + "}";
    const std::string second = "{" + testsupport::UniqueName("IgnoreB") + "}";
    const std::string backup = testsupport::MakeTempFolder("ignore") + "\\chosen.xml";
};

TEST_F(IgnoreCommandTest, AnIgnoredClassLeavesTheScanUntilItIsTakenBack) {
    const Captured scan = RunCommand(cli::ScanCommand, {"--json", "--no-shortcuts"});
    ASSERT_EQ(scan.rc, cli::kExitOk) << scan.err;
    EXPECT_TRUE(testjson::IsValidJson(scan.out));
    EXPECT_NE(scan.out.find("\"id\":\"" + Id(first) + "\",\"missingFile\":\"C:\\\\"), std::string::npos)
        << scan.out;

    const Captured add = RunCommand(cli::IgnoreCommand, {"add", Id(first)});
    ASSERT_EQ(add.rc, cli::kExitOk) << add.err;
    EXPECT_NE(ListOutput().find(Id(first) + "  CLSID  " + kMachineClasses + first + "\n"), std::string::npos);

    const Captured ignored = RunCommand(cli::ScanCommand, {"--json", "--no-shortcuts"});
    EXPECT_EQ(ignored.out.find(Id(first)), std::string::npos);
    EXPECT_NE(ignored.out.find(Id(second)), std::string::npos);
    EXPECT_EQ(ignored.out.find("\"ignored\":0"), std::string::npos) << ignored.out;

    ASSERT_EQ(RunCommand(cli::IgnoreCommand, {"remove", Id(first)}).rc, cli::kExitOk);
    EXPECT_NE(RunCommand(cli::ScanCommand, {"--json", "--no-shortcuts"}).out.find(Id(first)),
              std::string::npos);
    EXPECT_EQ(ListOutput().find(Id(first)), std::string::npos);
}

TEST_F(IgnoreCommandTest, BadInputChangesNothing) {
    struct Case {
        cli::Args args;
        int rc;
        const char* says;
    };
    const Case cases[] = {
        {{}, cli::kExitUsage, "use ignore list"},
        {{"drop", "0123456789abcdef"}, cli::kExitUsage, "use ignore list"},
        {{"list", "extra"}, cli::kExitUsage, "takes no arguments"},
        {{"add"}, cli::kExitUsage, "needs one or more"},
        {{"add", "not-an-id"}, cli::kExitUsage, "is not a finding id"},
        {{"add", Id(first), "0123456789abcdef"}, cli::kExitFailure, "nothing was added"},
        {{"remove", "0123456789abcdef"}, cli::kExitFailure, "nothing was removed"},
    };
    const std::string before = ListOutput();
    for (const Case& c : cases) {
        const Captured run = RunCommand(cli::IgnoreCommand, c.args);
        EXPECT_EQ(run.rc, c.rc) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(ListOutput(), before) << c.says;
    }
}

TEST_F(IgnoreCommandTest, FixRemovesOnlyTheChosenFindingsAndBacksUpOnlyThose) {
    // An id no finding has: refused before anything is touched.
    Captured fix =
        RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", backup, "--only", "0123456789abcdef"});
    EXPECT_EQ(fix.rc, cli::kExitFailure);
    EXPECT_NE(fix.err.find("nothing was removed"), std::string::npos) << fix.err;
    EXPECT_TRUE(ClassExists(first) && ClassExists(second));
    EXPECT_EQ(RunCommand(cli::FixCommand, {"--only"}).rc, cli::kExitUsage);
    EXPECT_EQ(RunCommand(cli::FixCommand, {"--exclude", "xyz"}).rc, cli::kExitUsage);

    fix = RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", backup, "--only", Id(first)});
    ASSERT_EQ(fix.rc, cli::kExitOk) << fix.err;
    EXPECT_FALSE(ClassExists(first));
    EXPECT_TRUE(ClassExists(second));
    const std::string saved = testsupport::ReadBytes(backup);
    EXPECT_NE(saved.find(first), std::string::npos);
    EXPECT_EQ(saved.find(second), std::string::npos);
}

} // namespace
