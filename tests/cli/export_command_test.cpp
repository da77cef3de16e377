// orvalin-cli export: the .reg lines for each kind of value, reading a backup as the restore does, and the
// real thing: a fix's backup exported, imported with the prefix's regedit, the registry byte for byte back.
#include "backup/backup_entries.h"
#include "backup/reg_file.h"
#include "backup/xml_reader.h"
#include "base/message_box.h"
#include "cli/commands.h"
#include "command_capture.h"
#include "engine/registry_lib.h"
#include "support/file_bytes.h"
#include "support/registry_snapshot.h"
#include "support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>

namespace {

using testcli::Captured;
using testcli::RunCommand;

Captured RunExport(const cli::Args& args) {
    return RunCommand(cli::ExportCommand, args);
}

std::string Bytes(const char* bytes, std::size_t size) {
    return std::string(bytes, size);
}

RestoredValue Value(const char* name, DWORD type, const std::string& bytes) {
    RestoredValue value;
    value.unnamed = name == nullptr;
    value.name = name == nullptr ? "" : name;
    value.type = type;
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the tests' texts are ASCII
}

BackupContents Read(const std::string& xml) {
    CXmlReader reader;
    reader.SetText(xml);
    BackupContents contents;
    ReadBackupEntries(reader, "", contents);
    return contents;
}

std::string Folder() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return testsupport::MakeTempFolder("export_" + std::to_string(now.QuadPart));
}

} // namespace

TEST(RegValueLines, EachTypeInTheFormRegistryEditorsWrite) {
    EXPECT_EQ(Narrow(RegValueLines(Value(nullptr, REG_SZ, Bytes("x\0", 2)))), "@=\"x\"");
    EXPECT_EQ(Narrow(RegValueLines(Value(nullptr, REG_SZ, Bytes("\0", 1)))), "@=\"\"");
    EXPECT_EQ(Narrow(RegValueLines(Value("a\"b\\c", REG_SZ, Bytes("C:\\x \"q\"\0", 9)))),
              "\"a\\\"b\\\\c\"=\"C:\\\\x \\\"q\\\"\"");
    EXPECT_EQ(Narrow(RegValueLines(Value("d", REG_DWORD, Bytes("\x00\x00\x00\x80", 4)))),
              "\"d\"=dword:80000000");
    EXPECT_EQ(Narrow(RegValueLines(Value("d", REG_DWORD, Bytes("\x01\x02\x03", 3)))),
              "\"d\"=hex(4):01,02,03");
    EXPECT_EQ(Narrow(RegValueLines(Value("b", REG_BINARY, Bytes("\x00\xff\x10", 3)))), "\"b\"=hex:00,ff,10");
    EXPECT_EQ(Narrow(RegValueLines(Value("b", REG_BINARY, ""))), "\"b\"=hex:");
    EXPECT_EQ(Narrow(RegValueLines(Value("n", REG_NONE, ""))), "\"n\"=hex(0):");
    EXPECT_EQ(Narrow(RegValueLines(Value("q", REG_QWORD, Bytes("\x01\0\0\0\0\0\0\x80", 8)))),
              "\"q\"=hex(b):01,00,00,00,00,00,00,80");
    EXPECT_EQ(Narrow(RegValueLines(Value("t", 0x1234, Bytes("\x07", 1)))), "\"t\"=hex(1234):07");
    // The string types as the registry stores them: UTF-16.
    EXPECT_EQ(Narrow(RegValueLines(Value("e", REG_EXPAND_SZ, Bytes("%a%\0", 4)))),
              "\"e\"=hex(2):25,00,61,00,25,00,00,00");
    EXPECT_EQ(Narrow(RegValueLines(Value("m", REG_MULTI_SZ, Bytes("a\0b\0\0", 5)))),
              "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00");
    EXPECT_EQ(Narrow(RegValueLines(Value("m", REG_MULTI_SZ, ""))), "\"m\"=hex(7):");
    // A REG_SZ that a quoted text would change keeps its exact bytes.
    EXPECT_EQ(Narrow(RegValueLines(Value("s", REG_SZ, Bytes("a\0b\0", 4)))),
              "\"s\"=hex(1):61,00,00,00,62,00,00,00");
    EXPECT_EQ(Narrow(RegValueLines(Value("s", REG_SZ, Bytes("a\r\n\0", 4)))),
              "\"s\"=hex(1):61,00,0d,00,0a,00,00,00");
    EXPECT_EQ(Narrow(RegValueLines(Value("s", REG_SZ, ""))), "\"s\"=hex(1):");
    // A name can only be written quoted: its line breaks are escaped.
    EXPECT_EQ(Narrow(RegValueLines(Value("x\r\ny", REG_SZ, Bytes("1\0", 2)))), "\"x\\r\\ny\"=\"1\"");
}

TEST(RegValueLines, LongHexListsWrapBelowEightyColumns) {
    std::string bytes;
    for (int i = 0; i < 100; ++i) {
        bytes += static_cast<char>(i);
    }
    const std::string text = Narrow(RegValueLines(Value("v", REG_BINARY, bytes)));
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 5u);
    // 23 bytes after "v"=hex: fill the first line to 77 columns, 25 each further line.
    EXPECT_EQ(lines[0].substr(0, 14), "\"v\"=hex:00,01,");
    EXPECT_EQ(lines[0].size(), 78u);
    std::string digits;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        EXPECT_LE(lines[i].size(), 80u);
        EXPECT_EQ(lines[i].back() == '\\', !last) << lines[i];
        std::string body = i == 0 ? lines[i].substr(8) : lines[i].substr(2);
        if (i > 0) {
            EXPECT_EQ(lines[i].substr(0, 2), "  ");
        }
        digits += last ? body : body.substr(0, body.size() - 1);
    }
    std::string back;
    for (std::size_t at = 0; at < digits.size(); at += 3) {
        back += static_cast<char>(std::stoi(digits.substr(at, 2), nullptr, 16));
    }
    EXPECT_EQ(back, bytes);
}

TEST(ReadBackupEntries, ReadsAsTheRestoreDoes) {
    const BackupContents contents =
        Read("<registry>\r\n"
             "<v name=\"outside\" value=\"1\"/>\r\n"
             "<k name=\"hkey_current_user\"><k name=\"A\">\r\n"
             "<v name=\"(Default)\" value=\"d &amp; &lt;\"/>\r\n"
             "<V NAME=\"n\" VALUE=\"0x00000010 (16)\" TYPE=\"reg_dword\"/>\r\n"
             "<v name=\"r\" value=\"x\" type=\"REG_BINARY\" rawname=\"2844656661756c7429\" raw=\"0102\" "
             "rawtype=\"5\"/>\r\n"
             "<v name=\"bad\" value=\"\" raw=\"zz\" rawtype=\"3\"/>\r\n"
             "<k rawname=\"0a\" name=\"&#10;\"/>\r\n"
             "</k></k>\r\n"
             "<k name=\"HKEY_CURRENT_USER\"><k name=\"A\"><v name=\"n\" value=\"x\"/></k></k>\r\n");
    EXPECT_EQ(contents.error, "");
    ASSERT_EQ(contents.keys.size(), 5u);
    EXPECT_EQ(contents.JoinedPathOf(1), "hkey_current_user\\A");
    EXPECT_TRUE(contents.keys[0].hasSubkeys);
    ASSERT_EQ(contents.keys[1].values.size(), 3u);
    EXPECT_TRUE(contents.keys[1].values[0].unnamed);
    EXPECT_EQ(std::string(contents.keys[1].values[0].data.begin(), contents.keys[1].values[0].data.end()),
              Bytes("d & <\0", 6));
    EXPECT_EQ(contents.keys[1].values[1].type, DWORD{REG_DWORD});
    EXPECT_EQ(contents.keys[1].values[1].data, (std::vector<BYTE>{0x10, 0, 0, 0}));
    EXPECT_EQ(contents.keys[1].values[2].name, "(Default)"); // a value of that literal name
    ASSERT_EQ(contents.unreadable.size(), 1u);
    EXPECT_EQ(contents.unreadable[0].name, "bad");
    EXPECT_EQ(contents.unreadable[0].keyPath, "hkey_current_user\\A");
    EXPECT_EQ(contents.keys[2].name, "\n"); // the raw name wins over the text
    EXPECT_FALSE(contents.keys[2].hasSubkeys);
    EXPECT_EQ(contents.keys[4].values.size(), 1u);

    const RegFileText file = BuildRegFile(contents);
    EXPECT_EQ(Narrow(file.text), "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\A]\r\n"
                                 "@=\"d & <\"\r\n"
                                 "\"n\"=dword:00000010\r\n"
                                 "\"(Default)\"=hex(5):01,02\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\A]\r\n"
                                 "\"n\"=\"x\"\r\n"
                                 "\r\n");
    EXPECT_EQ(file.leftOut, std::vector<std::string>{"hkey_current_user\\A\\\n"});
    EXPECT_EQ(file.keyCount, 2u);
    EXPECT_EQ(file.valueCount, 4u);
}

TEST(ReadBackupEntries, FailsWhereTheRestoreFails) {
    EXPECT_EQ(Read("<registry>\r\n<k name=\"HKEY_NOWHERE\">\r\n").error,
              "unknown root key 'HKEY_NOWHERE' in line 2");
    EXPECT_EQ(Read("<registry>\r\n<k name=\"HKEY_CURRENT_USER\" <\r\n").error,
              "Parse error in line 2 : (Bad '<' symbol)");
    std::string deep = "<registry>\r\n<k name=\"HKEY_CURRENT_USER\">";
    for (std::size_t level = 1; level <= 10000; ++level) {
        deep += "<k name=\"a\">";
        if (level == kMaxKeyDepth) {
            EXPECT_EQ(Read(deep).error, "");
        }
    }
    EXPECT_EQ(Read(deep).error, "keys nested deeper than the registry allows (512 levels) in line 2");
    // Cut short after a whole entry, as a killed fix leaves it: everything before the cut is there.
    const BackupContents cut = Read("<registry>\r\n<k name=\"HKEY_CURRENT_USER\"><k name=\"A\">"
                                    "<v name=\"x\" value=\"1\"/></k></k>\r\n<k name=\"HKEY_CU");
    EXPECT_EQ(cut.error, "");
    ASSERT_EQ(cut.keys.size(), 2u);
    EXPECT_EQ(cut.keys[1].values.size(), 1u);
}

TEST(ExportCommand, UsageFailuresAndTheDefaultName) {
    const std::string folder = Folder();
    EXPECT_EQ(RunExport({}).rc, cli::kExitUsage);
    EXPECT_EQ(RunExport({"a.xml", "b.reg", "c"}).rc, cli::kExitUsage);
    EXPECT_EQ(RunExport({"--all", "a.xml"}).rc, cli::kExitUsage);

    const Captured missing = RunExport({folder + "\\none.xml"});
    EXPECT_EQ(missing.rc, cli::kExitFailure);
    EXPECT_NE(missing.err.find("cannot read backup '" + folder + "\\none.xml': the file cannot be opened"),
              std::string::npos)
        << missing.err;
    EXPECT_EQ(GetFileAttributesA((folder + "\\none.reg").c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string broken = folder + "\\broken.xml";
    std::ofstream(broken, std::ios::binary) << "<registry>\r\n<k name=\"HKEY_CURRENT_USER\" <\r\n";
    const Captured parse = RunExport({broken});
    EXPECT_EQ(parse.rc, cli::kExitFailure);
    EXPECT_NE(parse.err.find("Parse error in line 2 : (Bad '<' symbol)"), std::string::npos) << parse.err;

    const std::string backup = folder + "\\Backup.XML";
    const std::string xml =
        "<registry>\r\n<k name=\"HKEY_CURRENT_USER\"><k name=\"A\"/></k>\r\n</registry>\r\n";
    std::ofstream(backup, std::ios::binary) << xml;
    // The backup is never the output, whichever way it is named.
    EXPECT_EQ(RunExport({backup, folder + "\\.\\backup.xml"}).rc, cli::kExitUsage);
    EXPECT_EQ(testsupport::ReadBytes(backup), xml);

    const Captured ok = RunExport({backup});
    EXPECT_EQ(ok.rc, cli::kExitOk) << ok.err;
    EXPECT_NE(ok.out.find("1 key(s), 0 value(s) written to " + folder + "\\Backup.reg"), std::string::npos);
    const std::string reg = testsupport::ReadBytes(folder + "\\Backup.reg");
    const std::wstring expected =
        L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\r\n";
    EXPECT_EQ(reg, std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));
}

// ---- the whole way: a fix's backup, exported, imported with regedit -------------------------------------

namespace {

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

using testsupport::RegistrySnapshot;

class SilentBoxes final : public base::MessageBoxes {
public:
    int Show(HWND, const std::string& text, const std::string&, UINT) override {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<std::string> texts;
};

class ExportRoundTrip : public ::testing::Test {
protected:
    ExportRoundTrip() : engine(engine::Win32Registry(), boxes) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        subPath = "Software\\" + testsupport::UniqueName("export") + "_" + std::to_string(now.QuadPart);
        engine.m_bJudgeAgain = false; // the findings are made by hand
        folder = Folder();
    }
    ~ExportRoundTrip() override { RegDeleteTreeA(HKEY_CURRENT_USER, subPath.c_str()); }

    void Set(const std::string& relative, const char* name, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        const std::string path = relative.empty() ? subPath : subPath + "\\" + relative;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS) << path;
        if (!(name == nullptr && type == REG_NONE && bytes.empty())) {
            EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size())),
                      ERROR_SUCCESS)
                << path << " / " << (name ? name : "(unnamed)");
        }
        RegCloseKey(key);
    }

    // Every type and the values whose text form in the backup loses data, names and data that need escaping.
    void Seed() {
        const char* special = "Amp&Lt<Gt>Quot\"Back\\slash'Apos[]@=High\xE9\xFC";
        std::mt19937 random(11);
        std::string big(100 * 1024, '\0');
        for (char& c : big) {
            c = static_cast<char>(random());
        }
        std::string bigText(100 * 1024, 'x');
        bigText.back() = '\0';
        Set("Types", nullptr, REG_SZ, Bytes("default\0", 8));
        Set("Types", "sz", REG_SZ, Bytes("C:\\path \"quoted\"\0", 17));
        Set("Types", "expand", REG_EXPAND_SZ, Bytes("%SystemRoot%\\x\0", 15));
        Set("Types", "binary", REG_BINARY, Bytes("\x00\xff\x10", 3));
        Set("Types", "dword", REG_DWORD, Dword(0x80000000u));
        Set("Types", "multi", REG_MULTI_SZ, Bytes("a\0b b\0\0", 7));
        Set("Types", "resource list", REG_RESOURCE_LIST, Bytes("\x01\x02", 2));
        Set("Types", "requirements", REG_RESOURCE_REQUIREMENTS_LIST, Bytes("\x03", 1));
        Set("Types", "qword", REG_QWORD, Bytes("\x01\x00\x00\x00\x00\x00\x00\x80", 8));
        Set("Hard", nullptr, REG_DWORD, Dword(42));
        Set("Hard", "none", REG_NONE, Bytes("\x01\x00\x02", 3));
        Set("Hard", "none empty", REG_NONE, "");
        Set("Hard", "link", REG_LINK, Bytes("\\\0R\0", 4));
        Set("Hard", "big endian", REG_DWORD_BIG_ENDIAN, Bytes("\x00\x00\x01\x00", 4));
        Set("Hard", "full descriptor", REG_FULL_RESOURCE_DESCRIPTOR, Bytes("\x09\x00\x08", 3));
        Set("Hard", "type 0x1234", 0x1234, Bytes("\x00\x01", 2));
        Set("Hard", "embedded nul", REG_SZ, Bytes("a\0b\0", 4));
        Set("Hard", "empty binary", REG_BINARY, "");
        Set("Hard", "empty multi", REG_MULTI_SZ, "");
        Set("Hard", "empty sz", REG_SZ, Bytes("\0", 1));
        Set("Hard", "short dword", REG_DWORD, Bytes("\x01\x02\x03", 3));
        Set("Hard", "short qword", REG_QWORD, Bytes("\x01", 1));
        Set("Hard", "(Default)", REG_SZ, Bytes("literal name\0", 13));
        Set("Hard", "line feed", REG_SZ, Bytes("one\ntwo\r\nthree\0", 15));
        Set("Hard", "line\r\nname", REG_SZ, Bytes("1\0", 2));
        Set("Hard", special, REG_SZ, std::string(special) + '\0');
        Set("Big", "binary", REG_BINARY, big);
        Set("Big", "text", REG_SZ, bigText);
        Set("Empty default", nullptr, REG_SZ, "");
        Set(std::string("Key ").append(special), "v", REG_SZ, Bytes("1\0", 2));
        Set("Empty key", nullptr, REG_NONE, "");
        std::string deep = "Deep";
        for (int level = 1; level <= 20; ++level) {
            deep += "\\Level" + std::to_string(level);
        }
        Set(deep, "level", REG_DWORD, Dword(20));
        for (int i = 0; i < 200; ++i) {
            Set("Many", ("value " + std::to_string(i)).c_str(), REG_DWORD, Dword(static_cast<DWORD>(i)));
        }
    }

    RegistrySnapshot Take() const { return testsupport::TakeRegistrySnapshot(HKEY_CURRENT_USER, subPath); }

    void AddFinding(const std::string& keyPath, const char* kind, const std::string& valueName) {
        auto finding = std::make_unique<CRegErrorLog>();
        finding->SetKeyPath(keyPath);
        finding->SetCategory(*kind == 'K' ? "CLSID" : "Help");
        finding->SetKind(kind);
        if (*kind == 'V') {
            auto value = std::make_unique<CRegValue>();
            value->m_strName = valueName;
            finding->SetValue(std::move(value));
        }
        engine.m_arrErrorLog.push_back(std::move(finding));
    }

    // The fix backs up and deletes; the export of its backup, imported by regedit, puts everything back.
    void FixExportImport(const RegistrySnapshot& before) {
        ScanErrorList rows;
        for (const char* description : {kDescriptionCLSID, kDescriptionHelp, kDescriptionSharedTools,
                                        kDescriptionSharedFiles, kDescriptionFonts}) {
            rows.push_back(std::make_unique<CScanError>());
            rows.back()->m_strDescription = description;
        }
        engine.FixRegistry(rows, folder + "\\backup.xml");
        ASSERT_FALSE(engine.m_bBackupFailed);
        ASSERT_NE(Take(), before) << "the fix deleted nothing";

        const Captured exported = RunExport({engine.m_strBackupFile, folder + "\\backup.reg"});
        ASSERT_EQ(exported.rc, cli::kExitOk) << exported.err;
        EXPECT_EQ(exported.err, "");

        std::string command = "C:\\windows\\regedit.exe /S \"" + folder + "\\backup.reg\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(exitCode, 0u);

        const RegistrySnapshot after = Take();
        EXPECT_EQ(after.size(), before.size());
        for (const auto& [path, lines] : before) {
            const auto found = after.find(path);
            ASSERT_NE(found, after.end()) << Narrow(path);
            EXPECT_EQ(found->second, lines) << Narrow(path);
        }
    }

    SilentBoxes boxes;
    CRegistryLib engine;
    std::string subPath;
    std::string folder;
};

} // namespace

TEST_F(ExportRoundTrip, AWholeKeyComesBackThroughRegedit) {
    Seed();
    const RegistrySnapshot before = Take();
    ASSERT_GT(before.size(), 25u);
    AddFinding("HKEY_CURRENT_USER\\" + subPath, kKindKey, "");
    FixExportImport(before);
}

TEST_F(ExportRoundTrip, EveryValueAsItsOwnChainComesBackThroughRegedit) {
    Seed();
    const RegistrySnapshot before = Take();
    for (const auto& [path, lines] : before) {
        const std::string keyPath = "HKEY_CURRENT_USER\\" + subPath + Narrow(path);
        for (const std::wstring& line : lines) {
            const std::string name = Narrow(line.substr(0, line.find(L'|')));
            AddFinding(keyPath, kKindValue, name.empty() ? "(Default)" : name);
        }
    }
    FixExportImport(before);
}

TEST_F(ExportRoundTrip, AKeyNameWithALineBreakIsReportedAndTheRestExported) {
    Set("Line\nFeed", "v", REG_SZ, Bytes("1\0", 2));
    Set("Plain", "v", REG_SZ, Bytes("2\0", 2));
    AddFinding("HKEY_CURRENT_USER\\" + subPath, kKindKey, "");
    ScanErrorList rows;
    rows.push_back(std::make_unique<CScanError>());
    rows.back()->m_strDescription = kDescriptionCLSID;
    engine.FixRegistry(rows, folder + "\\line.xml");

    const Captured exported = RunExport({engine.m_strBackupFile});
    EXPECT_EQ(exported.rc, cli::kExitFailure);
    EXPECT_NE(exported.err.find("key left out, a .reg file cannot name it (line break in its name): "
                                "HKEY_CURRENT_USER\\" +
                                subPath + "\\Line\nFeed"),
              std::string::npos)
        << exported.err;
    const std::string reg = testsupport::ReadBytes(folder + "\\line.reg");
    const std::wstring text(reinterpret_cast<const wchar_t*>(reg.data() + 2), (reg.size() - 2) / 2);
    EXPECT_NE(text.find(L"\\Plain]\r\n\"v\"=\"2\"\r\n"), std::wstring::npos);
}
