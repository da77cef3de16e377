// Cyrillic and CJK names and data in every registry family, on the real registry of the test prefix: through
// the console program, whose manifest gives it the UTF-8 code page, and in-process under this test binary's
// legacy code page (it has no manifest), where text that is not exact is neither judged nor deleted.
#include "cli/commands.h"
#include "command_capture.h"
#include "support/real_registry.h"
#include "support/registry_snapshot.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size(), L'\0');
    out.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                       out.data(), static_cast<int>(out.size()))));
    return out;
}

// Every key and value (name, type, bytes) below a key, one line each with its full path.
void WideListing(HKEY root, const std::wstring& path, std::vector<std::wstring>& lines) {
    for (const auto& [key, values] : testsupport::TakeRegistrySnapshot(root, path)) {
        lines.push_back(path + key);
        for (const std::wstring& value : values) {
            lines.push_back(path + key + L"|" + value);
        }
    }
}

void SetWide(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
             DWORD size) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(handle, name.empty() ? nullptr : name.c_str(), 0, type,
                             static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

void SetText(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    SetWide(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteWideValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueW(handle, name.c_str());
        RegCloseKey(handle);
    }
}

// Runs orvalin-cli.exe (with its manifest) and returns what it printed on stdout.
std::string RunConsoleProgram(const std::string& arguments, int* rc) {
    const std::string output = testsupport::MakeTempFolder("cliout") + "\\out.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file =
        CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    std::string command = "\"" + testsupport::BinaryPath("src\\cli\\orvalin-cli.exe") + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    *rc = -1;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, 240000);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        *rc = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
    std::ifstream in(output, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// JSON lines of findings that hold `tag`.
std::vector<std::string> TaggedFindings(const std::string& json, const std::string& tag) {
    std::vector<std::string> lines;
    std::istringstream in(json);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("{\"category\":", 0) == 0 && line.find(tag) != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

constexpr wchar_t kHelp[] = L"SOFTWARE\\Microsoft\\Windows\\Help";
constexpr wchar_t kSharedTools[] = L"SOFTWARE\\Microsoft\\Shared Tools\\";
constexpr wchar_t kSharedDlls[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr wchar_t kFonts[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// In every family one working entry (its file exists) and one broken one, named and pointing into a folder
// named in Cyrillic and CJK. A best-fit look-alike ("Łódź" read as "Lodz" under a Western code page) names a
// file that does not exist: under a legacy code page only the exactness check keeps such working entries.
class ExactText : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring temp = Wide(testsupport::MakeTempFolder("exact"));
        folder = temp + L"\\Папка 测试";
        const std::wstring lookAlike = temp + L"\\Łódź";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(lookAlike.c_str(), nullptr));
        for (const std::wstring& file :
             {folder + L"\\сервер.dll", folder + L"\\工具.exe", folder + L"\\шрифт.ttf",
              folder + L"\\общий.dll", folder + L"\\帮助" + tag + L".chm", lookAlike + L"\\Łódź.dll"}) {
            CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        const DWORD one = 1;
        SetText(HKEY_CLASSES_ROOT, classes[0] + L"\\InprocServer32", L"", folder + L"\\сервер.dll");
        SetText(HKEY_CLASSES_ROOT, classes[0], L"", L"Класс 类");
        SetText(HKEY_CLASSES_ROOT, classes[1] + L"\\InprocServer32", L"", lookAlike + L"\\Łódź.dll");
        SetText(HKEY_CLASSES_ROOT, classes[2] + L"\\LocalServer32", L"",
                L"\"" + folder + L"\\нет.exe\" сервер");
        SetText(HKEY_LOCAL_MACHINE, kHelp, L"帮助" + tag + L".chm", folder);
        SetText(HKEY_LOCAL_MACHINE, kHelp, L"нет" + tag + L".chm", folder);
        SetText(HKEY_LOCAL_MACHINE, kSharedTools + tag + L"Тест", L"Path", folder + L"\\工具.exe");
        SetText(HKEY_LOCAL_MACHINE, kSharedTools + tag + L"Нет", L"Path", folder + L"\\нет.exe");
        SetWide(HKEY_LOCAL_MACHINE, kSharedDlls, folder + L"\\общий.dll", REG_DWORD, &one, sizeof one);
        SetWide(HKEY_LOCAL_MACHINE, kSharedDlls, folder + L"\\нет" + tag + L".dll", REG_DWORD, &one,
                sizeof one);
        SetText(HKEY_LOCAL_MACHINE, kFonts, L"шрифт" + tag + L" (TrueType)", folder + L"\\шрифт.ttf");
        SetText(HKEY_LOCAL_MACHINE, kFonts, L"Łódź" + tag + L" (TrueType)", lookAlike + L"\\Łódź.dll");
        SetText(HKEY_LOCAL_MACHINE, kFonts, L"нет" + tag + L" (TrueType)", folder + L"\\нет.ttf");
    }
    void TearDown() override {
        for (const auto& key : classes) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSharedTools + tag + L"Тест").c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kSharedTools + tag + L"Нет").c_str());
        for (const auto& name : {L"帮助" + tag + L".chm", L"нет" + tag + L".chm"}) {
            DeleteWideValue(HKEY_LOCAL_MACHINE, kHelp, name);
        }
        DeleteWideValue(HKEY_LOCAL_MACHINE, kSharedDlls, folder + L"\\общий.dll");
        DeleteWideValue(HKEY_LOCAL_MACHINE, kSharedDlls, folder + L"\\нет" + tag + L".dll");
        for (const auto& name : {L"шрифт", L"Łódź", L"нет"}) {
            DeleteWideValue(HKEY_LOCAL_MACHINE, kFonts, name + tag + L" (TrueType)");
        }
    }
    // Everything the test wrote, as the registry holds it.
    std::vector<std::wstring> Snapshot() const {
        std::vector<std::wstring> lines;
        for (const auto& key : classes) {
            WideListing(HKEY_CLASSES_ROOT, key, lines);
        }
        for (const auto& key :
             {std::wstring(kHelp), kSharedTools + tag + L"Тест", kSharedTools + tag + L"Нет",
              std::wstring(kSharedDlls), std::wstring(kFonts)}) {
            std::vector<std::wstring> all;
            WideListing(HKEY_LOCAL_MACHINE, key, all);
            std::copy_if(all.begin(), all.end(), std::back_inserter(lines), [&](const std::wstring& line) {
                return line.find(tag) != std::wstring::npos || line.find(folder) != std::wstring::npos;
            });
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    static bool Broken(const std::wstring& line) {
        return line.find(L"нет") != std::wstring::npos || line.find(L"Нет") != std::wstring::npos;
    }

    const std::wstring tag = Wide(testsupport::UniqueName("Exact"));
    const std::string brokenClass = testsupport::NewClassId();
    // Working, working through a look-alike, broken.
    const std::wstring classes[3] = {L"CLSID\\" + Wide(testsupport::NewClassId()),
                                     L"CLSID\\" + Wide(testsupport::NewClassId()),
                                     L"CLSID\\" + Wide(brokenClass)};
    std::wstring folder;
};

TEST_F(ExactText, TheConsoleProgramFindsOnlyTheBrokenEntriesAndRestoresThemByteForByte) {
    const std::vector<std::wstring> before = Snapshot();
    const std::string tagText(tag.begin(), tag.end());
    int rc = 0;
    const std::string scan = RunConsoleProgram("scan --json --no-shortcuts", &rc);
    ASSERT_EQ(rc, cli::kExitOk) << scan;
    // Help, shared tools, shared DLL and font, named exactly; and the class.
    const std::vector<std::string> found = TaggedFindings(scan, tagText);
    EXPECT_EQ(found.size(), 4u) << scan;
    for (const std::string& line : found) {
        EXPECT_TRUE(line.find("нет") != std::string::npos || line.find("Нет") != std::string::npos) << line;
    }
    EXPECT_NE(scan.find(brokenClass), std::string::npos);
    EXPECT_EQ(scan.find(std::string(classes[0].begin() + 6, classes[0].end())), std::string::npos);

    const std::string backup = testsupport::MakeTempFolder("exactfix") + "\\fix.xml";
    const std::string fix = RunConsoleProgram("fix --json --no-shortcuts --backup \"" + backup + "\"", &rc);
    ASSERT_EQ(rc, cli::kExitOk) << fix;
    EXPECT_NE(fix.find("\"noLongerBroken\":0"), std::string::npos) << fix;
    std::vector<std::wstring> kept;
    std::copy_if(before.begin(), before.end(), std::back_inserter(kept), [&](const std::wstring& line) {
        return !Broken(line) && line.find(classes[2]) == std::wstring::npos;
    });
    EXPECT_EQ(Snapshot(), kept);

    const std::string restore = RunConsoleProgram("restore \"" + backup + "\"", &rc);
    EXPECT_EQ(rc, cli::kExitOk) << restore;
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ExactText, UnderALegacyCodePageTextThatIsNotExactIsNeitherFoundNorDeleted) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "this test binary must run without the UTF-8 manifest";
    const std::vector<std::wstring> before = Snapshot();
    const testcli::Captured scan = testcli::RunCommand(cli::ScanCommand, {"--json", "--no-shortcuts"});
    EXPECT_EQ(TaggedFindings(scan.out, std::string(tag.begin(), tag.end())), std::vector<std::string>{});
    for (const auto& key : classes) {
        EXPECT_EQ(scan.out.find(std::string(key.begin() + 6, key.end())), std::string::npos);
    }

    const std::string backup = testsupport::MakeTempFolder("exactlegacy") + "\\fix.xml";
    const testcli::Captured fix =
        testcli::RunCommand(cli::FixCommand, {"--no-shortcuts", "--backup", backup});
    EXPECT_EQ(fix.rc, cli::kExitOk) << fix.err;
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(testcli::RunCommand(cli::RestoreCommand, {backup}).rc, cli::kExitOk);
}

} // namespace
