// The scan command in-process, on the real registry of the test prefix: classes seeded under unique names.
#include "cli/commands.h"
#include "command_capture.h"

#include "json_check.h"
#include "support/real_registry.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Doubles every backslash, as a text appears inside a JSON string.
std::string InJson(std::string text) {
    for (size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 2)) {
        text.insert(at, 1, '\\');
    }
    return text;
}

void SetDefault(const std::string& keyPath, const std::string& data) {
    testsupport::SetRealString(HKEY_CLASSES_ROOT, keyPath, nullptr, data);
}

bool KeyExists(const std::string& keyPath) {
    return testsupport::RealKeyExists(HKEY_CLASSES_ROOT, keyPath);
}

using testcli::Captured;
using testcli::RunCommand;

Captured RunScan(const cli::Args& args) {
    return RunCommand(cli::ScanCommand, args);
}

// One class whose only server file is gone, with its own ProgID, and one working class.
class ScanCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefault(brokenKey, "Orvalin test broken class");
        SetDefault(brokenKey + "\\InprocServer32", missingFile);
        SetDefault(brokenKey + "\\ProgID", progId);
        SetDefault(progId + "\\CLSID", broken);
        SetDefault(workingKey + "\\InprocServer32", "ole32.dll");
    }
    void TearDown() override {
        for (const auto* key : {&brokenKey, &workingKey, &progId}) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key->c_str());
        }
    }

    const std::string broken = "{" + testsupport::UniqueName("Broken") + "}";
    const std::string brokenKey = "CLSID\\" + broken;
    const std::string workingKey = "CLSID\\{" + testsupport::UniqueName("Working") + "}";
    const std::string progId = testsupport::UniqueName("Prog") + ".1";
    const std::string missingFile = "C:\\" + testsupport::UniqueName("Gone") + "\\server.dll";
};

TEST_F(ScanCommandTest, JsonNamesTheBrokenClassAndItsProgIdAndChangesNothing) {
    const Captured run = RunScan({"--json", "--no-shortcuts"});
    ASSERT_EQ(run.rc, cli::kExitOk) << run.err;
    EXPECT_TRUE(testjson::IsValidJson(run.out));
    EXPECT_NE(run.out.find("{\"category\":\"CLSID\",\"kind\":\"KEY\",\"keyPath\":\"HKEY_LOCAL_"
                           "MACHINE\\\\Software\\\\Classes\\\\CLSID\\\\" +
                           broken + "\",\"value\":{\"name\":\"(Default)\",\"data\":\"" + InJson(missingFile) +
                           "\",\"type\":1},\"id\":\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("{\"category\":\"PROGID\",\"kind\":\"KEY\",\"keyPath\":\"HKEY_LOCAL_"
                           "MACHINE\\\\Software\\\\Classes\\\\" +
                           progId + "\",\"value\":null,\"id\":\""),
              std::string::npos);
    EXPECT_EQ(run.out.find(InJson(workingKey)), std::string::npos);
    EXPECT_TRUE(KeyExists(brokenKey));
    EXPECT_TRUE(KeyExists(progId));
}

TEST_F(ScanCommandTest, JsonRowsAreTheFiveFamiliesInScanOrder) {
    const Captured run = RunScan({"--json", "--no-shortcuts"});
    ASSERT_EQ(run.rc, cli::kExitOk) << run.err;
    size_t previous = 0;
    for (const char* description : {"Invalid CLSID", "Corrupt Help Files", "Invalid Shared Tools",
                                    "Corrupt Shared Files", "Corrupt Fonts"}) {
        const auto at = run.out.find(std::string("{\"description\":\"") + description + "\",\"scanned\":");
        ASSERT_NE(at, std::string::npos) << description;
        EXPECT_GT(at, previous) << description;
        previous = at;
    }
    EXPECT_LT(previous, run.out.find("\"findings\":["));
}

TEST_F(ScanCommandTest, TextShowsTheTableAndTheFindingWithoutProgressWhenStderrIsNoConsole) {
    const Captured run = RunScan({"--no-shortcuts"});
    ASSERT_EQ(run.rc, cli::kExitOk) << run.err;
    EXPECT_EQ(run.out.rfind("Description ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nInvalid CLSID "), std::string::npos);
    EXPECT_NE(run.out.find("CLSID       KEY  HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\" + broken +
                           "\n"
                           "                  (Default) = " +
                           missingFile + "\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "");
}

TEST(ScanCommand, UnknownArgumentsAreAUsageError) {
    for (const cli::Args& args : {cli::Args{"--jsn"}, cli::Args{"--json", "extra"}, cli::Args{""}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(cli::ScanCommand(args), cli::kExitUsage);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("orvalin-cli: scan: unknown argument"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

} // namespace

namespace {

// --families limits the run to the families named as in the rows' "family" key; shortcuts are one of them.
TEST(ScanFamiliesOption, NamesSelectRowsAndAnUnknownOneIsAUsageError) {
    const struct {
        std::vector<std::string> args;
        int rc;
        std::vector<std::string> families; // the rows' "family" keys, in order
        bool shortcuts;
    } cases[] = {
        {{"--families", "startup,clsid"}, cli::kExitOk, {"clsid", "startup"}, false},
        {{"--families", "SOUNDS,shortcuts", "--drives", "Q"}, cli::kExitOk, {"sounds"}, true},
        {{"--families", "shortcuts", "--no-shortcuts"}, cli::kExitOk, {}, false},
        {{"--families", "startup,bogus"}, cli::kExitUsage, {}, false},
        {{"--families"}, cli::kExitUsage, {}, false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const Captured run = RunScan(cli::Args(args.begin(), args.end()));
        SCOPED_TRACE(c.args[c.args.size() > 1 ? 1 : 0]);
        ASSERT_EQ(run.rc, c.rc) << run.err;
        if (c.rc != cli::kExitOk) {
            EXPECT_NE(run.err.find("--families"), std::string::npos) << run.err;
            continue;
        }
        std::vector<std::string> families;
        for (size_t at = run.out.find("\"family\":\""); at != std::string::npos;
             at = run.out.find("\"family\":\"", at + 1)) {
            const size_t start = at + 10;
            families.push_back(run.out.substr(start, run.out.find('"', start) - start));
        }
        EXPECT_EQ(families, c.families);
        EXPECT_EQ(run.out.find("\"shortcuts\":{") != std::string::npos, c.shortcuts);
    }
}

} // namespace
