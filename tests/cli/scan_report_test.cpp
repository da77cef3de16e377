#include "cli/scan_report.h"
#include "engine/finding_id.h"

#include "json_check.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CScanError> Row(const char* description, int scanned, int found, int fixed = 0) {
    auto row = std::make_unique<CScanError>();
    row->m_strDescription = description;
    row->m_nScanned = scanned;
    row->m_nFound = found;
    row->m_nFixed = fixed;
    return row;
}

std::unique_ptr<CRegErrorLog> Finding(const char* category, const char* kind, const std::string& keyPath,
                                      const char* valueName = nullptr, const std::string& data = "",
                                      DWORD type = REG_SZ) {
    auto finding = std::make_unique<CRegErrorLog>();
    if (valueName != nullptr) {
        auto value = std::make_unique<CRegValue>();
        value->m_strName = valueName;
        value->m_strData = data;
        value->m_dwType = type;
        finding->SetValue(std::move(value));
    }
    finding->SetKeyPath(keyPath);
    finding->SetCategory(category);
    finding->SetKind(kind);
    return finding;
}

class ScanReportTest : public ::testing::Test {
protected:
    ScanReportTest() {
        rows.push_back(Row(kDescriptionCLSID, 12, 2));
        rows.push_back(Row(kDescriptionHelp, 3, 0));
        findings.push_back(Finding(kCategoryCLSID, kKindKey, "HKEY_CLASSES_ROOT\\CLSID\\{1}",
                                   kDefaultValueName, "\"C:\\Gone\\a b.exe\" /automation"));
        findings.push_back(Finding(kCategoryProgID, kKindKey, "HKEY_CLASSES_ROOT\\Foo.Bar.1"));
    }
    ScanErrorList rows;
    RegErrorLogList findings;
};

TEST_F(ScanReportTest, JsonHasTheAgreedShapeInEngineOrder) {
    const std::string json = cli::FormatReportJson(cli::ScanReport(rows, findings));
    EXPECT_EQ(json,
              "{\"rows\":[\n"
              "{\"description\":\"Invalid "
              "CLSID\",\"scanned\":12,\"found\":2,\"fixed\":0,\"refused\":0,\"noLongerBroken\":0,"
              "\"family\":\"clsid\"},\n"
              "{\"description\":\"Corrupt Help "
              "Files\",\"scanned\":3,\"found\":0,\"fixed\":0,\"refused\":0,\"noLongerBroken\":0,"
              "\"family\":\"helpFiles\"}\n"
              "],\"findings\":[\n"
              "{\"category\":\"CLSID\",\"kind\":\"KEY\",\"keyPath\":\"HKEY_CLASSES_ROOT\\\\CLSID\\\\{1}\","
              "\"value\":{\"name\":\"(Default)\",\"data\":\"\\\"C:\\\\Gone\\\\a b.exe\\\" "
              "/automation\",\"type\":1},\"id\":\"" +
                  engine::FindingId(*findings[0]) +
                  "\",\"missingFile\":\"\"},\n"
                  "{\"category\":\"PROGID\",\"kind\":\"KEY\",\"keyPath\":\"HKEY_CLASSES_ROOT\\\\Foo.Bar.1\","
                  "\"value\":null,\"id\":\"" +
                  engine::FindingId(*findings[1]) +
                  "\",\"missingFile\":\"\"}\n"
                  "],\"ignored\":0}\n");
    EXPECT_TRUE(testjson::IsValidJson(json));
}

TEST_F(ScanReportTest, EmptyResultIsStillADocument) {
    const ScanErrorList noRows;
    const RegErrorLogList noFindings;
    const std::string json = cli::FormatReportJson(cli::ScanReport(noRows, noFindings));
    EXPECT_TRUE(testjson::IsValidJson(json)) << json;
    EXPECT_EQ(json.find("shortcuts"), std::string::npos);
    EXPECT_EQ(json.find("backup"), std::string::npos);
}

TEST_F(ScanReportTest, ShortcutsAndBackupAreAddedAfterTheFindings) {
    cli::ShortcutReport shortcuts{7, 2, 1, {"C:\\Users\\a\\x.lnk", "C:\\caf\xE9.lnk"}};
    cli::ScanReport report(rows, findings);
    report.shortcuts = &shortcuts;
    report.backup = "C:\\work\\FixedOnMondayFebruary162004143005.xml";
    const std::string json = cli::FormatReportJson(report);
    EXPECT_TRUE(testjson::IsValidJson(json)) << json;
    const auto at = json.find(",\"shortcuts\":{\"scanned\":7,\"found\":2,\"fixed\":1,\"refused\":0,"
                              "\"missing\":[\"C:\\\\Users\\\\a\\\\x.lnk\",\"C:\\\\caf\xC3\xA9.lnk\"]}");
    ASSERT_NE(at, std::string::npos) << json;
    EXPECT_GT(at, json.find("\"findings\""));
    EXPECT_NE(json.find(",\"backup\":\"C:\\\\work\\\\FixedOnMondayFebruary162004143005.xml\"}"),
              std::string::npos);
}

TEST_F(ScanReportTest, AwkwardValueTextsStayValidUtf8Json) {
    // Multi-string data is shown with line breaks; names and data come in the active code page.
    findings.push_back(Finding(kCategoryFont, kKindValue, "HKEY_LOCAL_MACHINE\\Fonts", "Caf\xE9 (TrueType)",
                               "a\nb\tc\x01\x7F", REG_MULTI_SZ));
    findings.push_back(
        Finding(kCategoryHelp, kKindValue, "HKEY_LOCAL_MACHINE\\x", "", std::string(5000, '\\')));
    const std::string json = cli::FormatReportJson(cli::ScanReport(rows, findings));
    EXPECT_TRUE(testjson::IsValidJson(json));
    EXPECT_NE(json.find("\"name\":\"Caf\xC3\xA9 (TrueType)\",\"data\":\"a\\nb\\tc\\u0001\x7F\",\"type\":7"),
              std::string::npos);
}

TEST_F(ScanReportTest, TextListsRowsInOrderWithATotalThenEveryFinding) {
    const std::string text = cli::FormatReportText(cli::ScanReport(rows, findings));
    const auto clsid = text.find("Invalid CLSID                   12         2\n");
    const auto help = text.find("Corrupt Help Files               3         0\n");
    const auto total = text.find("Total                           15         2\n");
    ASSERT_NE(clsid, std::string::npos) << text;
    ASSERT_NE(help, std::string::npos) << text;
    ASSERT_NE(total, std::string::npos) << text;
    EXPECT_LT(clsid, help);
    EXPECT_LT(help, total);
    EXPECT_NE(text.find("Findings: 2\n"), std::string::npos);
    EXPECT_NE(text.find("CLSID       KEY  HKEY_CLASSES_ROOT\\CLSID\\{1}\n"
                        "                  (Default) = \"C:\\Gone\\a b.exe\" /automation\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("PROGID      KEY  HKEY_CLASSES_ROOT\\Foo.Bar.1\n"), std::string::npos);
    EXPECT_EQ(text.find("Fixed"), std::string::npos);
}

TEST_F(ScanReportTest, TextAfterAFixShowsFixedCountsAndAccessDenied) {
    rows[0]->m_nFixed = 2;
    rows[1]->m_nFixed = 1;
    rows[1]->m_nRefused = 3;
    rows[1]->m_lRefusal = ERROR_ACCESS_DENIED;
    cli::ShortcutReport shortcuts{4, 1, 1, {"C:\\x.lnk"}};
    cli::ScanReport report(rows, findings);
    report.showFixed = true;
    report.shortcuts = &shortcuts;
    report.backup = "FixedOnX.xml";
    const std::string text = cli::FormatReportText(report);
    EXPECT_NE(text.find("Invalid CLSID                   12         2              2\n"), std::string::npos)
        << text;
    // Removed beside refused: 1 entry is gone although 3 were refused.
    EXPECT_NE(text.find("Corrupt Help Files               3         0 1 (3 Access Denied)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Missing ShortCuts                4         1              1\n"), std::string::npos);
    EXPECT_NE(text.find("Total                           19         3              4\n"), std::string::npos);
    EXPECT_NE(text.find("Backup: FixedOnX.xml\n"), std::string::npos);
    EXPECT_NE(text.find("  C:\\x.lnk\n"), std::string::npos);
}

TEST(JsonCheck, RejectsWhatAParserWouldReject) {
    EXPECT_TRUE(testjson::IsValidJson("{\"a\":[1,-2.5e3,null,true,\"\\u00e9\"]}"));
    EXPECT_FALSE(testjson::IsValidJson("{\"a\":[1,]}"));
    EXPECT_FALSE(testjson::IsValidJson("{\"a\":\"x\ny\"}"));
    EXPECT_FALSE(testjson::IsValidJson("{\"a\":\"\xE9\"}"));
    EXPECT_FALSE(testjson::IsValidJson("{\"a\":01}"));
    EXPECT_FALSE(testjson::IsValidJson("{} {}"));
}

} // namespace
