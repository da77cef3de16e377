// The console restore on the real registry of the test prefix: values that differ, failures, and keys
// whose full path is longer than the old path limit.
#include "cli/commands.h"
#include "command_capture.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace {

using testcli::Captured;
using testcli::RunCommand;

class RestoreRules : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }

    // A backup holding HKEY_CURRENT_USER\<key>\<subPath> with `values` ("<v .../>" elements).
    std::string Backup(const std::vector<std::string>& subPath, const std::string& values) {
        std::string open = "<k name=\"HKEY_CURRENT_USER\"><k name=\"Software\"><k name=\"" + leaf + "\">";
        std::string close = "</k></k></k>";
        for (const std::string& name : subPath) {
            open += "<k name=\"" + name + "\">";
            close += "</k>";
        }
        const std::string path = folder + "\\b" + std::to_string(++files) + ".xml";
        std::ofstream(path, std::ios::binary) << "<registry>\r\n"
                                              << open << values << close << "\r\n</registry>\r\n";
        return path;
    }
    std::optional<std::string> Read(const char* name) const {
        char data[256] = {};
        DWORD size = sizeof data;
        if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(data);
    }
    void Write(const char* name, const std::string& text) const {
        RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() + 1));
    }

    const std::string leaf = testsupport::UniqueName("RestoreRules");
    const std::string key = "Software\\" + leaf;
    const std::string folder =
        testsupport::MakeTempFolder("restore_rules_" + std::to_string(GetTickCount64()));
    int files = 0;
};

} // namespace

TEST_F(RestoreRules, AValueWithOtherDataIsKeptAndListedUnlessOverwriteIsGiven) {
    const struct {
        const char* name;
        std::optional<std::string> current;
        bool overwrite;
        int rc;
        std::string after;
        const char* said; // on stderr, or null
    } cases[] = {
        {"missing", std::nullopt, false, cli::kExitOk, "backup", nullptr},
        {"same", "backup", false, cli::kExitOk, "backup", nullptr},
        {"differs", "mine", false, cli::kExitFailure, "mine", "left as it is (it has other data): "},
        {"differs, --overwrite", "mine", true, cli::kExitOk, "backup", "replaced (it had other data): "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        if (c.current) {
            Write("v", *c.current);
        }
        const std::string file = Backup({}, "<v name=\"v\" value=\"backup\"/>");
        cli::Args args{file};
        if (c.overwrite) {
            args.push_back("--overwrite");
        }
        const Captured run = RunCommand(cli::RestoreCommand, args);
        EXPECT_EQ(run.rc, c.rc) << run.err;
        EXPECT_EQ(Read("v"), c.after);
        if (c.said != nullptr) {
            EXPECT_NE(run.err.find(c.said + std::string("HKEY_CURRENT_USER\\") + key + "\\v"),
                      std::string::npos)
                << run.err;
        }
    }
}

TEST_F(RestoreRules, AValueThatCannotBeSetFailsTheRestoreAfterEveryOtherIsWritten) {
    const std::string file = Backup({}, "<v name=\"bad\" value=\"\" raw=\"xyz\" rawtype=\"3\"/>"
                                        "<v name=\"good\" value=\"1\"/>");
    const Captured run = RunCommand(cli::RestoreCommand, {file});
    EXPECT_EQ(run.rc, cli::kExitFailure);
    EXPECT_NE(run.err.find("couldn't set value bad"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Registry Restoration Failed"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Restored Successfuly"), std::string::npos) << run.err;
    EXPECT_EQ(Read("good"), "1");
}

// Each key is created inside its parent, so a path far past 260 characters comes back whole.
TEST_F(RestoreRules, KeysWhosePathPassesTheOldLimitAreRestored) {
    const std::vector<std::string> deep{std::string(255, 'a'), std::string(255, 'b')};
    const Captured run = RunCommand(cli::RestoreCommand, {Backup(deep, "<v name=\"deep\" value=\"1\"/>")});
    EXPECT_EQ(run.rc, cli::kExitOk) << run.err;
    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &parent), ERROR_SUCCESS);
    HKEY a = nullptr;
    ASSERT_EQ(RegOpenKeyExA(parent, deep[0].c_str(), 0, KEY_READ, &a), ERROR_SUCCESS);
    char data[8] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(RegGetValueA(a, deep[1].c_str(), "deep", RRF_RT_REG_SZ, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_STREQ(data, "1");
    RegCloseKey(a);
    RegCloseKey(parent);
}
