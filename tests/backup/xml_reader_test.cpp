#include "backup/xml_reader.h"

#include "backup/backup_test_support.h"
#include "support/file_bytes.h"
#include "support/test_paths.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Every reported token in a compact form: S:name, E:name, A:name=value, T:text, D:decl, C (comment),
// X (CDATA); None tokens are left out.
std::vector<std::string> Tokens(CXmlReader& reader) {
    std::vector<std::string> out;
    while (reader.ReadNext()) {
        std::string name;
        std::string value;
        switch (reader.GetTokenType()) {
        case XmlToken::StartTag:
            out.push_back("S:" + reader.GetElementName());
            break;
        case XmlToken::EndTag:
            out.push_back("E:" + reader.GetElementName());
            break;
        case XmlToken::Attribute:
            reader.GetAttribute(name, value);
            out.push_back("A:" + name + "=" + value);
            break;
        case XmlToken::Text:
            out.push_back("T:" + reader.GetText());
            break;
        case XmlToken::Declaration:
            out.push_back("D:" + reader.GetDeclaration());
            break;
        case XmlToken::Comment:
            out.push_back("C");
            break;
        case XmlToken::CData:
            out.push_back("X");
            break;
        case XmlToken::None:
            break;
        }
    }
    return out;
}

std::vector<std::string> TokensOf(const std::string& text, std::string* error = nullptr) {
    CXmlReader reader;
    reader.SetText(text);
    std::vector<std::string> tokens = Tokens(reader);
    if (error) {
        *error = reader.GetErrorText();
    }
    return tokens;
}

std::string ErrorOf(const std::string& text) {
    std::string error;
    TokensOf(text, &error);
    return error;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(XmlReader, ReadsTheBackupExampleAsTokens) {
    const std::string file = testsupport::MakeTempFolder("reader") + "\\example.xml";
    testsupport::WriteBytes(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  " <registry>\r\n"
                                  "  <k name=\"HKEY_CLASSES_ROOT\">\r\n"
                                  "   <v name=\"Flags\" value=\"0x00000001 (1)\" type=\"REG_DWORD\"/>\r\n"
                                  "  </k>\r\n"
                                  " </registry>\r\n");
    CXmlReader reader;
    reader.SetFileName(file);
    EXPECT_EQ(Tokens(reader),
              (Strings{"D:?xml", "A:version=1.0", "A:encoding=UTF-8", "T: ", "S:registry", "T:  ", "S:k",
                       "A:name=HKEY_CLASSES_ROOT", "T:   ", "S:v", "A:name=Flags", "A:value=0x00000001 (1)",
                       "A:type=REG_DWORD", "E:v", "T:  ", "E:k", "T: ", "E:registry"}));
    EXPECT_EQ(reader.GetErrorText(), "");
    EXPECT_EQ(reader.GetLineNumber(), 6);

    // Close, then reading starts again at the first line.
    reader.Close();
    ASSERT_EQ(reader.ReadNext(), 1);
    EXPECT_EQ(reader.GetTokenType(), XmlToken::Declaration);
    EXPECT_EQ(reader.GetLineNumber(), 1);
}

TEST(XmlReader, EmptyOrMissingInputEndsWithoutAnError) {
    const std::string folder = testsupport::MakeTempFolder("reader");
    testsupport::WriteBytes(folder + "\\empty.xml", "");
    for (const std::string name : {"\\empty.xml", "\\missing.xml"}) {
        CXmlReader reader;
        reader.SetFileName(folder + name);
        EXPECT_EQ(reader.ReadNext(), 0) << name;
        EXPECT_EQ(reader.GetErrorText(), "") << name;
    }
    EXPECT_EQ(TokensOf("\r\n  \r\n\n"), (Strings{}));
}

TEST(XmlReader, BlankLinesBetweenTagsGiveNoErrors) {
    std::string error;
    EXPECT_EQ(TokensOf("<a>\r\n\r\n   \r\n<b/>\r\n", &error), (Strings{"S:a", "T:   ", "S:b", "E:b"}));
    EXPECT_EQ(error, "");
}

TEST(XmlReader, AttributeValuesAcrossLinesKeepEveryLineBreak) {
    EXPECT_EQ(TokensOf("<a v=\"x\r\ny\"/>"), (Strings{"S:a", "A:v=x\r\ny", "E:a"}));
    // An empty line inside the value and a value that starts at a line end keep their breaks too.
    EXPECT_EQ(TokensOf("<a v=\"x\r\n\r\ny\" w=\"\r\nz\"/>"),
              (Strings{"S:a", "A:v=x\r\n\r\ny", "A:w=\r\nz", "E:a"}));
    EXPECT_EQ(TokensOf("<a v=\r\n  \"q\">"), (Strings{"S:a", "A:v=q"}));
}

TEST(XmlReader, AValueEndsOnlyAtTheQuoteThatOpenedIt) {
    EXPECT_EQ(TokensOf("<a v=\"it's > 1\" w='say \"hi\"' x=\"\"/>"),
              (Strings{"S:a", "A:v=it's > 1", "A:w=say \"hi\"", "A:x=", "E:a"}));
    EXPECT_EQ(TokensOf("<a v=\"'lead\"/>"), (Strings{"S:a", "A:v='lead", "E:a"}));
    EXPECT_EQ(TokensOf("<a v=\"cr\rinside\"/>"), (Strings{"S:a", "A:v=cr\rinside", "E:a"}));
    // Without a quote the value ends at '>', which then closes the tag.
    EXPECT_EQ(TokensOf("<a v=bare>t"), (Strings{"S:a", "A:v=bare", "T:t"}));
}

TEST(XmlReader, SpacesAfterTheOpeningBracketAreSkipped) {
    EXPECT_EQ(TokensOf("< a>< /a>"), (Strings{"S:a", "E:a"}));
}

TEST(XmlReader, CommentsAndCDataMaySpanLinesAndAreNotKept) {
    EXPECT_EQ(TokensOf("<a><!-- one\r\ntwo --><![CDATA[x\r\ny]]>tail</a>"),
              (Strings{"S:a", "C", "C", "X", "X", "T:tail", "E:a"}));
}

TEST(XmlReader, ParseErrorsNameTheirLine) {
    EXPECT_EQ(ErrorOf("<a>\r\n<b>\r\n<\r\n"),
              "Parse error in line 3 : ('<' symbol not allowed at the end of a line)");
    EXPECT_EQ(ErrorOf("<a\r\n<b>"), "Parse error in line 2 : (Bad '<' symbol)");
    EXPECT_EQ(ErrorOf(" <a>"), "Parse error in line 1 : (Syntax error)");
    EXPECT_EQ(ErrorOf("\xEF\xBB\xBF<a>"), "Parse error in line 1 : (Syntax error)");
    EXPECT_EQ(ErrorOf("<a>\r\n</a>x\r\n<>"), "Parse error in line 3 : (Empty element name)");
    EXPECT_EQ(ErrorOf("<a/>\r\n\r\nstray"), "");
}

TEST(XmlReader, TokensBeforeAParseErrorAreReportedAndReadingThenStops) {
    CXmlReader reader;
    reader.SetText("<a b=\"1\">\r\n<c <d>\r\n<e>");
    EXPECT_EQ(Tokens(reader), (Strings{"S:a", "A:b=1", "S:c"}));
    EXPECT_EQ(reader.ReadNext(), 0);
    EXPECT_EQ(reader.GetErrorText(), "Parse error in line 2 : (Bad '<' symbol)");
}

TEST(XmlReader, ShowsParseErrorsOnlyWhenAsked) {
    std::vector<std::string> shown;
    for (const bool show : {false, true}) {
        CXmlReader reader;
        reader.SetShowErrors(show);
        reader.SetErrorDisplay([&shown](const std::string& text) { shown.push_back(text); });
        reader.SetText("<\r\n");
        EXPECT_EQ(reader.ReadNext(), 0);
    }
    EXPECT_EQ(shown, (Strings{"Parse error in line 1 : ('<' symbol not allowed at the end of a line)"}));
}

TEST(XmlReader, InputCutShortAfterALessThanSignEndsThere) {
    std::string error;
    EXPECT_EQ(TokensOf("<a b=\"1\"/>\r\n  <", &error), (Strings{"S:a", "A:b=1", "E:a", "T:  "}));
    EXPECT_EQ(error, "");
    EXPECT_EQ(ErrorOf("<a/>\r\n  <\r\n"),
              "Parse error in line 2 : ('<' symbol not allowed at the end of a line)");
}

TEST(XmlReader, TextWithALoneCarriageReturnDoesNotStall) {
    EXPECT_EQ(TokensOf("<a>x\ry</a>"), (Strings{"S:a", "T:x", "T:y", "E:a"}));
}

TEST(XmlReader, AFileWithoutLineEndsOrWithNulBytesReadsToTheEnd) {
    EXPECT_EQ(TokensOf(std::string("<a v=\"x\0y\"/>", 12)),
              (Strings{"S:a", std::string("A:v=x\0y", 7), "E:a"}));
    EXPECT_EQ(TokensOf("<a\n b='1'\n/>"), (Strings{"S:a", "A:b=1", "E:a"}));
}

// Inputs that once made the reader misbehave; each must read to its end or to a parse error.
TEST(XmlReader, KeptFuzzInputsReadToTheirEnd) {
    const std::string folder = testsupport::SourcePath("fuzz\\regressions\\xml_reader");
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            continue;
        }
        ++files;
        CXmlReader reader;
        reader.SetFileName(folder + "\\" + found.cFileName);
        long steps = 0;
        while (reader.ReadNext() && steps < 10'000'000) {
            ++steps;
        }
        EXPECT_LT(steps, 10'000'000) << found.cFileName;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GT(files, 0);
}
