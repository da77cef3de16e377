#include "backup/xml_reader.h"

#include <climits>

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;
constexpr const char* kLessThanAtLineEnd = "'<' symbol not allowed at the end of a line";

bool IsSpace(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

std::size_t SkipSpace(const std::string& line, std::size_t pos) {
    while (pos < line.size() && IsSpace(line[pos])) {
        ++pos;
    }
    return pos;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

} // namespace

CXmlReader::CXmlReader() = default;
CXmlReader::~CXmlReader() = default;

int CXmlReader::SetFileName(const std::string& name) {
    if (!m_bOpen) {
        m_strFileName = name;
        m_bFromText = false;
    }
    return 1;
}

void CXmlReader::SetText(std::string text) {
    if (!m_bOpen) {
        m_strSource = std::move(text);
        m_bFromText = true;
    }
}

int CXmlReader::Close() {
    m_file.reset();
    m_bOpen = false;
    return 1;
}

void CXmlReader::ResetState() {
    m_bNeedLine = true;
    m_nPosition = 0;
    m_nLineNumber = 0;
    m_bInComment = m_bInCData = m_bInTag = m_bAfterEquals = m_bInText = false;
    m_strErrorText.clear();
    m_strElementName.clear();
    m_strText.clear();
    m_strAttributeName.clear();
    m_strAttributeValue.clear();
    m_strDeclaration.clear();
    m_strLine.clear();
    m_token = XmlToken::None;
    m_bEnded = false;
    m_strBuffer.clear();
    m_nBufferPos = 0;
    m_nSourcePos = 0;
}

bool CXmlReader::Open() {
    ResetState();
    if (!m_bFromText) {
        // Binary: line ends are split here, and no byte (not even ^Z) ends the input early.
        m_file.reset(std::fopen(m_strFileName.c_str(), "rb"));
        if (!m_file) {
            return false;
        }
    }
    m_bOpen = true;
    return true;
}

bool CXmlReader::ReadLine() {
    m_strLine.clear();
    m_bLineTerminated = true;
    if (m_bFromText) {
        if (m_nSourcePos >= m_strSource.size()) {
            return false;
        }
        const std::size_t lf = m_strSource.find('\n', m_nSourcePos);
        if (lf == std::string::npos) {
            m_strLine.assign(m_strSource, m_nSourcePos);
            m_nSourcePos = m_strSource.size();
            m_bLineTerminated = false;
            return true;
        }
        m_strLine.assign(m_strSource, m_nSourcePos, lf - m_nSourcePos);
        m_nSourcePos = lf + 1;
    } else {
        bool any = false;
        for (;;) {
            if (m_nBufferPos >= m_strBuffer.size()) {
                m_strBuffer.resize(kReadBlock);
                const std::size_t n = std::fread(m_strBuffer.data(), 1, kReadBlock, m_file.get());
                m_strBuffer.resize(n);
                m_nBufferPos = 0;
                if (n == 0) {
                    m_bLineTerminated = false;
                    return any; // the last line had no line end, or nothing is left
                }
            }
            any = true;
            const std::size_t lf = m_strBuffer.find('\n', m_nBufferPos);
            if (lf == std::string::npos) {
                m_strLine.append(m_strBuffer, m_nBufferPos);
                m_nBufferPos = m_strBuffer.size();
                continue;
            }
            m_strLine.append(m_strBuffer, m_nBufferPos, lf - m_nBufferPos);
            m_nBufferPos = lf + 1;
            break;
        }
    }
    if (!m_strLine.empty() && m_strLine.back() == '\r') {
        m_strLine.pop_back();
    }
    return true;
}

int CXmlReader::ReadNext() {
    if (!m_bOpen && !Open()) {
        return 0;
    }
    if (m_bEnded) {
        return 0;
    }
    const char* message = nullptr;
    if (m_bNeedLine) {
        if (!ReadLine()) {
            if (m_file && std::ferror(m_file.get())) {
                message = "Read error";
            } else {
                m_bEnded = true;
                m_token = XmlToken::None;
                return 0;
            }
        } else {
            if (m_nLineNumber < INT_MAX) {
                ++m_nLineNumber;
            }
            m_nPosition = 0;
            m_bNeedLine = false;
        }
    }
    if (!message && Step(message)) {
        return 1;
    }
    if (message == kLessThanAtLineEnd && !m_bLineTerminated) {
        // The input was cut short right after a '<' (a backup whose writing was interrupted): that is its
        // end, and everything before it has been reported.
        m_bEnded = true;
        m_token = XmlToken::None;
        return 0;
    }
    m_strErrorText = "Parse error in line " + std::to_string(m_nLineNumber) + " : (" + message + ")";
    m_bEnded = true;
    if (m_bShowErrors && m_errorDisplay) {
        m_errorDisplay(m_strErrorText);
    }
    return 0;
}

bool CXmlReader::Step(const char*& message) {
    m_token = XmlToken::None;
    const std::string& line = m_strLine;

    if (m_nPosition >= line.size()) {
        // A quoted value still open at the end of a line goes on with the next line; the line break is
        // part of the value (also when the line is empty or ends right after the opening quote).
        if (m_bAfterEquals && !m_strAttributeValue.empty()) {
            m_strAttributeValue += "\r\n";
        }
        m_bNeedLine = true;
        return true;
    }
    if (m_bInTag && !m_bAfterEquals) {
        m_nPosition = SkipSpace(line, m_nPosition);
        if (m_nPosition >= line.size()) {
            m_bNeedLine = true;
            return true;
        }
    }
    if (m_bInComment || m_bInCData) {
        const char* close = m_bInComment ? "-->" : "]]>";
        const std::size_t found = line.find(close, m_nPosition);
        if (found != std::string::npos) {
            m_nPosition = found + 3;
            m_bInComment = m_bInCData = m_bInTag = m_bAfterEquals = false;
            m_bInText = true;
            m_strText.clear();
        } else {
            m_token = m_bInComment ? XmlToken::Comment : XmlToken::CData;
            m_nPosition = line.size();
        }
        return true;
    }
    if (m_bAfterEquals) {
        StepAttributeValue();
        return true;
    }
    if (m_bInText) {
        StepText();
        return true;
    }

    const char c = line[m_nPosition];
    if (c == '<') {
        return StepTagOpen(message);
    }
    if (c == '?') {
        ++m_nPosition;
    } else if (c == '/') {
        ++m_nPosition;
        while (m_nPosition < line.size() && !IsSpace(line[m_nPosition]) && line[m_nPosition] != '>') {
            ++m_nPosition;
        }
        m_token = XmlToken::EndTag;
    } else if (c == '>') {
        m_bInTag = m_bAfterEquals = false;
        m_bInText = true;
        m_strText.clear();
        ++m_nPosition;
    } else if (!m_bInTag) {
        message = "Syntax error";
        return false;
    } else if (c == '=') {
        m_bAfterEquals = true;
        ++m_nPosition;
    } else {
        const std::size_t start = m_nPosition;
        while (m_nPosition < line.size() && !IsSpace(line[m_nPosition]) && line[m_nPosition] != '=' &&
               line[m_nPosition] != '>') {
            ++m_nPosition;
        }
        if (m_nPosition == start) {
            message = "Missing attribute name before '='";
            return false;
        }
        m_strAttributeName.assign(line, start, m_nPosition - start);
        m_strAttributeValue.clear();
    }
    return true;
}

void CXmlReader::StepAttributeValue() {
    const std::string& line = m_strLine;
    std::string& value = m_strAttributeValue;
    if (value.empty()) {
        m_nPosition = SkipSpace(line, m_nPosition);
        if (m_nPosition < line.size()) {
            value += line[m_nPosition++]; // normally the opening quote
        }
        return;
    }
    // A quoted value ends only at its own closing quote, so it may hold the other quote, '>' and a lone CR.
    // An unquoted one ends at the first quote, CR, LF or '>'.
    const char quote = IsQuote(value[0]) ? value[0] : '\0';
    const std::size_t stop =
        quote ? line.find(quote, m_nPosition) : line.find_first_of("\"'\r\n>", m_nPosition);
    if (stop == std::string::npos) {
        value.append(line, m_nPosition);
        m_nPosition = line.size();
        return;
    }
    value.append(line, m_nPosition, stop - m_nPosition);
    if (quote) {
        value.erase(0, 1);
    }
    m_token = XmlToken::Attribute;
    m_bAfterEquals = false;
    m_nPosition = line[stop] == '>' ? stop : stop + 1;
}

void CXmlReader::StepText() {
    const std::string& line = m_strLine;
    const std::size_t stop = line.find_first_of("<\r\n", m_nPosition);
    const std::size_t end = stop == std::string::npos ? line.size() : stop;
    m_strText.assign(line, m_nPosition, end - m_nPosition);
    m_token = m_strText.empty() ? XmlToken::None : XmlToken::Text;
    if (stop == std::string::npos) {
        m_nPosition = line.size();
    } else if (line[stop] == '<') {
        m_bInText = false;
        m_nPosition = stop;
    } else {
        m_nPosition = stop + 1; // a lone CR inside text: step over it, or the reader would stand still
    }
}

bool CXmlReader::StepTagOpen(const char*& message) {
    const std::string& line = m_strLine;
    if (m_bInTag) {
        message = "Bad '<' symbol";
        return false;
    }
    m_bInTag = true;
    m_bInComment = m_bInCData = m_bAfterEquals = m_bInText = false;
    m_nPosition = SkipSpace(line, m_nPosition + 1);
    if (m_nPosition >= line.size()) {
        message = kLessThanAtLineEnd;
        return false;
    }
    if (line.compare(m_nPosition, 3, "!--") == 0) {
        m_token = XmlToken::Comment;
        m_bInComment = true;
        m_nPosition += 3;
        return true;
    }
    if (line.compare(m_nPosition, 8, "![CDATA[") == 0) {
        m_token = XmlToken::CData;
        m_bInCData = true;
        m_nPosition += 8;
        return true;
    }
    const std::size_t start = m_nPosition;
    while (m_nPosition < line.size() && !IsSpace(line[m_nPosition]) && line[m_nPosition] != '>' &&
           !(line[m_nPosition] == '/' && m_nPosition != start)) {
        ++m_nPosition;
    }
    if (m_nPosition == start) {
        message = "Empty element name";
        return false;
    }
    const std::string name(line, start, m_nPosition - start);
    if (name[0] == '?' || name[0] == '!') {
        m_token = XmlToken::Declaration;
        m_strDeclaration = name;
        m_strElementName.clear();
    } else if (name[0] == '/') {
        m_token = XmlToken::EndTag;
        m_strElementName = name.substr(1);
    } else {
        m_token = XmlToken::StartTag;
        m_strElementName = name;
    }
    return true;
}
