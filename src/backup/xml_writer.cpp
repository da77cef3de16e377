#include "backup/xml_writer.h"

#include <io.h>
#include <windows.h>

CXmlWriter::CXmlWriter() = default;
CXmlWriter::~CXmlWriter() = default;

int CXmlWriter::SetFileName(const std::string& name) {
    if (!m_file) {
        m_strFileName = name;
    }
    return 1;
}

int CXmlWriter::Close() {
    m_file.reset();
    m_nLevel = 0;
    m_bDeclarationWritten = false;
    m_bFailed = false;
    return 1;
}

int CXmlWriter::Flush() {
    if (!m_file || m_bFailed) {
        return 0;
    }
    if (std::fflush(m_file.get()) != 0) {
        m_bFailed = true;
        return 0;
    }
    // The C runtime's flush only hands the bytes to the system; a power cut could still lose them.
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(m_file.get())));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) {
        m_bFailed = true;
        return 0;
    }
    return 1;
}

std::string CXmlWriter::Indent(int n) {
    return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string();
}

int CXmlWriter::WriteRaw(const std::string& text) {
    if (text.empty()) {
        return 1;
    }
    if (!AppendToFile(text)) {
        // Whatever part of the text reached the file stays; nothing more is added, so the file ends
        // there instead of continuing after a hole.
        m_bFailed = true;
        return 0;
    }
    return 1;
}

bool CXmlWriter::AppendToFile(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) == bytes.size();
}

int CXmlWriter::Write(const std::string& text) {
    if (!m_file) {
        // Binary mode: the bytes go out exactly as given. fopen shares the file with other readers.
        m_file.reset(std::fopen(m_strFileName.c_str(), "wb"));
        if (!m_file) {
            return 0;
        }
        m_bFailed = false;
    }
    if (m_bFailed) {
        return 0;
    }
    if (!m_bDeclarationWritten) {
        m_bDeclarationWritten = true;
        const int saved = m_nLevel;
        m_nLevel = 0;
        CXmlElement declaration("xml");
        declaration.AddAttribute("version", "1.0");
        declaration.AddAttribute("encoding", "UTF-8");
        const int written = WriteDeclaration(declaration, 0);
        m_nLevel = saved;
        if (!written) {
            return 0;
        }
    }
    return WriteRaw(text);
}

std::string CXmlWriter::Attributes(const CXmlElement& element) {
    std::string text;
    for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
        text += ' ';
        text += element.GetAttributeName(i);
        text += "=\"";
        text += element.GetAttributeValue(i);
        text += '"';
    }
    return text;
}

int CXmlWriter::WriteDeclaration(const CXmlElement& element, int delta) {
    m_nLevel += delta;
    return Write(Indent(m_nLevel) + "<?" + element.GetName() + Attributes(element) + "?>\r\n");
}

int CXmlWriter::WriteStartTag(const CXmlElement& element, int delta, bool indent, bool newline) {
    m_nLevel += delta;
    std::string text = indent ? Indent(m_nLevel) : std::string();
    text += "<" + element.GetName() + Attributes(element) + ">";
    if (newline) {
        text += "\r\n";
    }
    return Write(text);
}

int CXmlWriter::WriteEmptyTag(const CXmlElement& element, int delta, bool indent, bool newline) {
    m_nLevel += delta;
    std::string text = indent ? Indent(m_nLevel) : std::string();
    text += "<" + element.GetName() + Attributes(element) + "/>";
    if (newline) {
        text += "\r\n";
    }
    const int written = Write(text);
    m_nLevel -= delta;
    return written;
}

int CXmlWriter::WriteEndTag(const std::string& name, int delta, bool indent, bool newline) {
    std::string text = indent ? Indent(m_nLevel) : std::string();
    text += "</" + name + ">";
    if (newline) {
        text += "\r\n";
    }
    const int written = Write(text);
    m_nLevel += delta;
    return written;
}
