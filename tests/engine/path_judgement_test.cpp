// The path judgement over registry text as it stands on real Windows installations, with each text's files
// created in folders standing for the drives and then removed; and the rules that text alone cannot show.
#include "engine/family_support.h"
#include "engine/path_judgement.h"
#include "support/mapped_drives.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

using engine::Reference;
using engine::Verdict;
using testsupport::MappedDrives;

struct Row {
    std::string family, key, name, type, data;
};

std::vector<Row> ReadRows() {
    std::ifstream in(testsupport::SourcePath("tests\\engine\\data\\registry-strings.tsv"));
    std::vector<Row> rows;
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) {
            fields.push_back(field);
        }
        fields.resize(5);
        rows.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return rows;
}

bool EndsWith(const std::string& text, const char* tail) {
    const size_t n = std::strlen(tail);
    return text.size() >= n && _stricmp(text.c_str() + text.size() - n, tail) == 0;
}

// How the row's text names a file; none for rows that name no single file (ProgIDs, icon indexes, folder
// lists, numbers).
std::optional<Reference> KindOf(const Row& row) {
    if (row.type != "REG_SZ" && row.type != "REG_EXPAND_SZ" && row.family != "shareddlls") {
        return std::nullopt;
    }
    const std::string& f = row.family;
    if (f == "com_server") {
        return EndsWith(row.key, "LocalServer32") || EndsWith(row.key, "LocalServer") ? Reference::CommandLine
                                                                                      : Reference::Path;
    }
    if (f == "run" || f == "service_imagepath" || (f == "uninstall" && row.name == "UninstallString")) {
        return Reference::CommandLine;
    }
    if (f == "fonts") {
        return Reference::Font;
    }
    if (f == "htmlhelp") {
        return Reference::HelpFile;
    }
    if (f == "shareddlls" || f == "sharedtools_path" || f == "typelib" ||
        (f == "app_paths" && row.name == "(default)") ||
        (f == "uninstall" && (row.name == "InstallLocation" || row.name == "DisplayIcon"))) {
        return Reference::Path;
    }
    return std::nullopt;
}

// The separator of a resource index the family's text may end with ("file\\2", "file,-101"), or none.
char IndexSeparator(const Row& row) {
    return row.family == "typelib"                                  ? '\\'
           : row.family == "uninstall" && row.name == "DisplayIcon" ? ','
                                                                    : '\0';
}

std::string Unquoted(const std::string& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"' ? text.substr(1, text.size() - 2)
                                                                         : text;
}

std::string Trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? std::string()
                                      : text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// A bare name lives in the System folder (the Fonts folder for fonts).
std::string Located(const std::string& path, Reference kind) {
    if (path.find_first_of("\\/:") != std::string::npos) {
        return path;
    }
    return (kind == Reference::Font ? "C:\\Windows\\Fonts\\" : "C:\\Windows\\System32\\") + path;
}

std::string WithExtension(const std::string& path, const char* extension) {
    const size_t slash = path.find_last_of('\\');
    return path.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos ? path + extension
                                                                                       : path;
}

// The files a text names, read by hand: the program of a command line (the quoted text, or the text up to
// the first ".exe"), a rundll32/regsvr32 host's module, the folder and name of a help file.
std::vector<std::string> NamedFiles(Reference kind, const std::string& data, const std::string& name) {
    const std::string text = MappedDrives::ExpandTable(data);
    if (Trimmed(text).empty()) {
        return {};
    }
    if (kind == Reference::HelpFile) {
        const std::string folder = Unquoted(text);
        return {folder + (!folder.empty() && folder.back() == '\\' ? "" : "\\") + name};
    }
    if (kind != Reference::CommandLine) {
        return {Located(Unquoted(text), kind)};
    }
    const std::string line = Trimmed(text);
    std::string host, arguments;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        host = line.substr(1, close - 1);
        arguments = close == std::string::npos ? std::string() : line.substr(close + 1);
    } else {
        std::string lower = line;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        size_t end = std::string::npos;
        for (size_t exe = lower.find(".exe"); exe != std::string::npos; exe = lower.find(".exe", exe + 1)) {
            if (exe + 4 == line.size() || line[exe + 4] == ' ') {
                end = exe + 4;
                break;
            }
        }
        end = end == std::string::npos ? line.find(' ') : end;
        host = line.substr(0, end);
        arguments = end == std::string::npos ? std::string() : line.substr(end);
    }
    std::vector<std::string> files{WithExtension(Located(host, kind), ".exe")};
    const std::string hostName = host.substr(host.find_last_of('\\') + 1);
    const bool rundll =
        _stricmp(hostName.c_str(), "rundll32.exe") == 0 || _stricmp(hostName.c_str(), "rundll32") == 0;
    if (rundll || _stricmp(hostName.c_str(), "regsvr32.exe") == 0) {
        std::string module = Trimmed(arguments);
        while (!rundll && !module.empty() && module[0] == '/') {
            module = Trimmed(module.substr(std::min(module.size(), module.find(' '))));
        }
        module = Unquoted(Trimmed(module.substr(0, module.find(rundll ? ',' : ' '))));
        files.push_back(WithExtension(Located(module, kind), ".dll"));
    }
    return files;
}

// True when every file is a full path on a mapped drive that Windows could test.
bool Testable(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (file.size() < 4 || file.size() >= MAX_PATH || file[1] != ':' || file[2] != '\\' ||
            file.find_first_of("%?*<>|\"") != std::string::npos ||
            !std::isalpha(static_cast<unsigned char>(file[0]))) {
            return false;
        }
    }
    return true;
}

class PathJudgementTest : public ::testing::Test {
protected:
    std::string root = testsupport::MakeTempFolder("judge");
    MappedDrives drives{root, "CD"};
    engine::PathJudge judge{drives};
    void TearDown() override {
        drives.Clear();
        RemoveDirectoryA((root + "\\C").c_str());
        RemoveDirectoryA((root + "\\D").c_str());
        RemoveDirectoryA(root.c_str());
    }
};

TEST_F(PathJudgementTest, RealWorldTextIsPresentWithItsFilesAndNeverMissingWithout) {
    const std::vector<Row> rows = ReadRows();
    ASSERT_GT(rows.size(), 2000u);
    // Files planted, then removed; all rows, and the rows of the families the scans judge.
    int counts[2][2][3] = {};
    int notFiles = 0;
    for (const Row& row : rows) {
        const std::optional<Reference> kind = KindOf(row);
        if (!kind) {
            ++notFiles;
            continue;
        }
        const std::string& text = row.family == "shareddlls" ? row.name : row.data;
        const char separator = IndexSeparator(row);
        const std::string indexed = separator != '\0' ? engine::WithoutIndex(text, separator) : std::string();
        const std::vector<std::string> files = NamedFiles(*kind, indexed.empty() ? text : indexed, row.name);
        // Judged as the families judge them: a text with a resource index through the file before it.
        const auto judgeRow = [&](engine::PathJudge& judge) {
            if (separator == '\0') {
                return judge.Judge(*kind, text, row.name);
            }
            return engine::JudgeIndexed([&](const std::string& t) { return judge.Judge(*kind, t); }, text,
                                        separator);
        };
        int created = 0;
        for (const std::string& file : files) {
            created += Testable({file}) && drives.Create(file) ? 1 : 0;
        }
        const Verdict planted = judgeRow(judge);
        SCOPED_TRACE(row.family + " " + row.key + " [" + row.name + "] = " + text);
        if (!files.empty() && created == static_cast<int>(files.size())) {
            EXPECT_EQ(planted, Verdict::Present) << files.front();
        }
        if (created > 0) {
            EXPECT_NE(planted, Verdict::Missing);
        }
        drives.Clear();
        engine::PathJudge fresh(drives);
        const Verdict removed = judgeRow(fresh);
        EXPECT_NE(removed, Verdict::Present);
        const bool scanned = row.family == "com_server" || row.family == "fonts" ||
                             row.family == "shareddlls" || row.family == "htmlhelp" ||
                             row.family == "sharedtools_path" || row.family == "app_paths" ||
                             row.family == "run" || row.family == "uninstall" || row.family == "typelib";
        for (int subset = 0; subset < (scanned ? 2 : 1); ++subset) {
            ++counts[subset][0][static_cast<int>(planted)];
            ++counts[subset][1][static_cast<int>(removed)];
        }
    }
    for (const auto& subset : counts) {
        std::printf(
            "real-world strings (present, missing, cannot judge): planted %d %d %d; removed %d %d %d\n",
            subset[0][0], subset[0][1], subset[0][2], subset[1][0], subset[1][1], subset[1][2]);
    }
    std::printf("%d rows name no single file\n", notFiles);
}

// The rules, each with the files that exist: text alone would not show them.
TEST_F(PathJudgementTest, RulesForEachFormOfText) {
    const struct {
        Reference kind;
        const char* text;
        const char* name;
        std::vector<const char*> files;
        Verdict expected;
    } cases[] = {
        {Reference::Path, "C:\\App\\a.dll", "", {}, Verdict::Missing},
        {Reference::Path, "C:\\App\\a.dll", "", {"C:\\App\\a.dll"}, Verdict::Present},
        {Reference::Path, "\"C:\\App\\a.dll\"", "", {}, Verdict::Missing},
        {Reference::Path, "C:\\Foo - Bar\\a.dll", "", {"C:\\Foo - Bar\\a.dll"}, Verdict::Present},
        {Reference::Path, "C:\\Foo - Bar\\a.dll", "", {"C:\\Foo"}, Verdict::Missing},
        {Reference::Path, "C:\\App/sub/a.dll", "", {"C:\\App\\sub\\a.dll"}, Verdict::Present},
        {Reference::Path, "%SystemRoot%\\System32\\a.dll", "", {}, Verdict::Missing},
        {Reference::Path, "%SystemRoot%\\%Unknown%\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "App\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "C\\Windows\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "\\\\server\\share\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "\\??\\C:\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "E:\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "C:\\????\\a.dll", "", {}, Verdict::CannotJudge},
        {Reference::Path, "a.dll", "", {}, Verdict::Missing},
        {Reference::Path, "a.dll", "", {"C:\\Windows\\a.dll"}, Verdict::Present},
        {Reference::Font, "a.ttf", "", {"C:\\Windows\\System32\\a.ttf"}, Verdict::Missing},
        {Reference::Font, "a.ttf", "", {"C:\\Windows\\Fonts\\a.ttf"}, Verdict::Present},
        {Reference::HelpFile, "C:\\App\\Help", "app.chm", {"C:\\App\\Help\\app.chm"}, Verdict::Present},
        {Reference::HelpFile, "C:\\App\\Help\\", "app.chm", {"C:\\App\\Help\\app.chm"}, Verdict::Present},
        {Reference::HelpFile, "C:\\App\\Help", "app.chm", {"C:\\App\\Helpapp.chm"}, Verdict::Missing},
        {Reference::HelpFile, "Help", "app.chm", {}, Verdict::CannotJudge},
        {Reference::CommandLine, "\"C:\\App\\app.exe\" server", "", {"C:\\App\\app.exe"}, Verdict::Present},
        {Reference::CommandLine, "\"C:\\App\\app.exe\" server", "", {}, Verdict::Missing},
        {Reference::CommandLine,
         "C:\\Program Files\\App\\app.exe /automation",
         "",
         {"C:\\Program Files\\App\\app.exe"},
         Verdict::Present},
        {Reference::CommandLine, "C:\\Program Files\\App\\app.exe /automation", "", {}, Verdict::Missing},
        {Reference::CommandLine,
         "C:\\Program Files\\App\\app -Embedding",
         "",
         {"C:\\Program Files\\App\\app.exe"},
         Verdict::Present},
        {Reference::CommandLine,
         "C:\\App\\app.exe -Embedding",
         "",
         {"C:\\App\\app.exe\\x"},
         Verdict::Missing},
        {Reference::CommandLine,
         "CastSrv.exe -Embedding",
         "",
         {"C:\\Windows\\System32\\CastSrv.exe"},
         Verdict::Present},
        {Reference::CommandLine,
         "rundll32.exe shell32.dll,Entry {1} -Embedding",
         "",
         {"C:\\Windows\\System32\\rundll32.exe", "C:\\Windows\\System32\\shell32.dll"},
         Verdict::Present},
        {Reference::CommandLine,
         "rundll32.exe shell32.dll,Entry {1} -Embedding",
         "",
         {"C:\\Windows\\System32\\rundll32.exe"},
         Verdict::Missing},
        {Reference::CommandLine,
         "rundll32.exe \\\\server\\a.dll,Entry",
         "",
         {"C:\\Windows\\System32\\rundll32.exe"},
         Verdict::CannotJudge},
        {Reference::CommandLine,
         "regsvr32.exe /s /i:x C:\\App\\a.dll",
         "",
         {"C:\\Windows\\System32\\regsvr32.exe", "C:\\App\\a.dll"},
         Verdict::Present},
        {Reference::CommandLine, "%Unknown%\\app.exe", "", {}, Verdict::CannotJudge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " [" + c.name + "]");
        for (const char* file : c.files) {
            ASSERT_TRUE(drives.Create(file)) << file;
        }
        EXPECT_EQ(engine::PathJudge(drives).Judge(c.kind, c.text, c.name), c.expected);
        drives.Clear();
    }
    EXPECT_EQ(judge.Judge(Reference::Path, "C:\\" + std::string(MAX_PATH, 'x')), Verdict::CannotJudge);
}

// Drives of the test prefix through the real calls: only a fixed drive can show a file missing.
TEST(PathJudgementDrives, OnlyFixedDrivesCanShowAFileMissing) {
    const std::string folder = testsupport::MakeTempFolder("judgedrive");
    engine::PathJudge judge;
    EXPECT_EQ(judge.Judge(Reference::Path, folder + "\\gone.dll"), Verdict::Missing);
    EXPECT_EQ(judge.Judge(Reference::Path, folder), Verdict::Present);
    // Every variable is expanded; one left unexpanded, or an expansion beyond MAX_PATH, cannot be judged.
    SetEnvironmentVariableA("ORVALIN_JUDGE", folder.c_str());
    SetEnvironmentVariableA("ORVALIN_NAME", "gone");
    SetEnvironmentVariableA("ORVALIN_LONG", ("C:\\" + std::string(300, 'L')).c_str());
    EXPECT_EQ(judge.Judge(Reference::CommandLine, "\"%ORVALIN_JUDGE%\\%ORVALIN_NAME%.exe\" /x"),
              Verdict::Missing);
    EXPECT_EQ(judge.Judge(Reference::Path, "%ORVALIN_JUDGE%\\%ORVALIN_UNSET%.dll"), Verdict::CannotJudge);
    EXPECT_EQ(judge.Judge(Reference::Path, "%ORVALIN_LONG%\\x.dll"), Verdict::CannotJudge);
    for (const char* path : {"T:\\gone.dll", "U:\\gone.dll", "V:\\gone.dll", "B:\\gone.dll"}) {
        EXPECT_EQ(judge.Judge(Reference::Path, path), Verdict::CannotJudge) << path;
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace
