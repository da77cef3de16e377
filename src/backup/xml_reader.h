#pragma once
// CXmlReader: a pull tokenizer over a text file, one token per ReadNext. It reads line by line and
// keeps its state across lines, so tags, comments, CDATA and attribute values may span lines.
// It does not check that end tags match start tags. Free of platform headers so that it also builds
// natively for fuzzing.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

enum class XmlToken {
    None = 0,
    StartTag = 1,
    EndTag = 2,
    Attribute = 3,
    Text = 4,
    Declaration = 5,
    Comment = 6,
    CData = 7
};

class CXmlReader {
public:
    CXmlReader();
    virtual ~CXmlReader();
    CXmlReader(const CXmlReader&) = delete;
    CXmlReader& operator=(const CXmlReader&) = delete;

    // Take effect only while closed. SetText reads the given bytes instead of a file.
    int SetFileName(const std::string& name);
    void SetText(std::string text);
    // With show errors set, a parse error is also handed to the error display (the program shows it in a
    // message box).
    void SetShowErrors(bool show) { m_bShowErrors = show; }
    void SetErrorDisplay(std::function<void(const std::string&)> display) {
        m_errorDisplay = std::move(display);
    }

    // One step: 1 when a step was made (the token may be None), 0 at the end of the input, when the file
    // cannot be opened, or on a parse error (then GetErrorText is set). After 0, further calls give 0.
    virtual int ReadNext();
    int Close();

    XmlToken GetTokenType() const { return m_token; }
    const std::string& GetElementName() const { return m_strElementName; }
    void GetAttribute(std::string& name, std::string& value) const {
        name = m_strAttributeName;
        value = m_strAttributeValue;
    }
    const std::string& GetText() const { return m_strText; }
    const std::string& GetDeclaration() const { return m_strDeclaration; }
    const std::string& GetErrorText() const { return m_strErrorText; }
    int GetLineNumber() const { return m_nLineNumber; }
    // The input was opened (a file that cannot be opened leaves this false after ReadNext).
    bool IsOpen() const { return m_bOpen; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool Open();
    bool ReadLine();
    // The tokenizer step on the current line; false with a message on a parse error.
    bool Step(const char*& message);
    void StepAttributeValue();
    void StepText();
    bool StepTagOpen(const char*& message);
    void ResetState();

    // Input
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::string m_strFileName;
    std::string m_strSource; // SetText input
    bool m_bFromText = false;
    std::size_t m_nSourcePos = 0;
    std::string m_strBuffer; // file bytes read ahead of the current line
    std::size_t m_nBufferPos = 0;
    bool m_bOpen = false;
    bool m_bEnded = false; // end of input or a parse error: ReadNext gives 0

    // Errors
    bool m_bShowErrors = false;
    std::function<void(const std::string&)> m_errorDisplay;
    std::string m_strErrorText;

    // Line
    std::string m_strLine;
    std::size_t m_nPosition = 0;
    bool m_bNeedLine = true;        // the position is "before the next line"
    bool m_bLineTerminated = false; // the current line ended with a line end (not with the end of the input)
    int m_nLineNumber = 0;

    // Token
    XmlToken m_token = XmlToken::None;
    std::string m_strElementName;
    std::string m_strText;
    std::string m_strAttributeName;
    std::string m_strAttributeValue;
    std::string m_strDeclaration;

    // Tokenizer state
    bool m_bInComment = false;
    bool m_bInCData = false;
    bool m_bInTag = false;
    bool m_bAfterEquals = false;
    bool m_bInText = false;
};
