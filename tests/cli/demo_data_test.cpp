// The demo data end to end: orvalin-seed fills the test prefix, the scan command reports exactly the broken
// demo entries (and none of the working ones), and --remove takes everything out again.
#include "cli/commands.h"

#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

int RunSeeder(const std::string& arguments) {
    std::string command = "\"" + testsupport::BinaryPath("tools\\seed\\orvalin-seed.exe") + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// The findings of a JSON scan (one per line) that belong to the demo data.
std::vector<std::string> DemoFindings() {
    testing::internal::CaptureStdout();
    const int rc = cli::ScanCommand({"--json"});
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, cli::kExitOk);
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("{\"category\":", 0) == 0 &&
            (line.find("OrvalinDemo") != std::string::npos || line.find("4F52564C") != std::string::npos)) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string Category(const std::string& line) {
    const auto start = line.find(':') + 2;
    return line.substr(start, line.find('"', start) - start);
}

TEST(DemoData, ScanReportsExactlyTheBrokenDemoEntriesAndRemoveTakesThemOut) {
    ASSERT_EQ(RunSeeder("--scale 2"), 0);
    const auto findings = DemoFindings();
    const int removed = RunSeeder("--remove");

    std::map<std::string, int> perCategory;
    for (const auto& line : findings) {
        ++perCategory[Category(line)];
    }
    // Per unit: five broken classes (one with two dead servers) and three ProgID keys of their own (a ProgID
    // value whose key is gone names nothing to remove); one help file; two fonts, tools and shared DLLs each;
    // three application paths, startup programs and software entries; two type library platforms, sounds and
    // MUI cache values; one installer folder. In the 32-bit view: two broken classes and one ProgID, one help
    // file, one tool and one shared DLL.
    const std::map<std::string, int> expected{
        {"CLSID", 16},     {"PROGID", 8},   {"Help", 4},           {"font", 4},     {"SharedTools", 6},
        {"SharedFile", 6}, {"AppPath", 6},  {"Startup", 6},        {"Software", 6}, {"TypeLib", 4},
        {"Sound", 4},      {"MuiCache", 4}, {"InstallerFolder", 2}};
    EXPECT_EQ(perCategory, expected);
    for (const auto& line : findings) {
        // Only the broken classes (numbers 12 to 16 of each unit) appear: never a working one such as a dead
        // 16-bit server beside a working 32-bit one, a handler or an odd spelling; nor a ProgID that belongs
        // to another class, nor a help file found through %SystemDrive%.
        if (const auto at = line.find("0DE5-4000-8000-"); at != std::string::npos) {
            const int index = static_cast<int>(std::stoul(line.substr(at + 15, 12), nullptr, 16) % 100);
            EXPECT_TRUE(index >= 12 && index <= 16) << line;
        }
        // Of the 32-bit classes only the two broken ones (2 and 3), never the one found in SysWOW64.
        if (const auto at = line.find("0DE5-4002-8000-"); at != std::string::npos) {
            const int index = static_cast<int>(std::stoul(line.substr(at + 15, 12), nullptr, 16) % 100);
            EXPECT_TRUE((index == 2 || index == 3) && line.find("Wow6432Node") != std::string::npos) << line;
        }
        EXPECT_EQ(line.find("\\\\OrvalinDemo.Widget."), std::string::npos) << line;
        EXPECT_EQ(line.find("OrvalinDemoEnv"), std::string::npos) << line;
    }
    EXPECT_EQ(removed, 0);
    EXPECT_TRUE(DemoFindings().empty());
    EXPECT_EQ(GetFileAttributesA("C:\\OrvalinDemo"), INVALID_FILE_ATTRIBUTES);
}

TEST(DemoData, SeederRejectsBadArguments) {
    EXPECT_EQ(RunSeeder("--scale 0"), 2);
    EXPECT_EQ(RunSeeder("--scale 12x"), 2);
    EXPECT_EQ(RunSeeder("--extra-classes"), 2);
    EXPECT_EQ(RunSeeder("--bogus"), 2);
}

} // namespace
