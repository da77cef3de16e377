#pragma once
// CXmlWriter: appends tags to one file, one space of indentation per level and CR LF line ends.
// The first successful write to a file puts the XML declaration in front of everything else.
// Nothing is escaped here: callers pass attribute values already escaped.
#include "backup/xml_element.h"

#include <cstdio>
#include <memory>
#include <string>

class CXmlWriter {
public:
    CXmlWriter();
    virtual ~CXmlWriter();
    CXmlWriter(const CXmlWriter&) = delete;
    CXmlWriter& operator=(const CXmlWriter&) = delete;

    // Opens the file on first use (create or truncate). Returns 0 and writes nothing when the file cannot be
    // opened (the next call tries again) or when a write to it has already failed; 1 otherwise.
    virtual int Write(const std::string& text);

    // Takes effect only while the file is closed.
    int SetFileName(const std::string& name);
    const std::string& GetFileName() const { return m_strFileName; }
    // Closes the file; the level and both flags go back to 0, the name stays.
    int Close();

    // Hands everything written so far to the operating system, so that it survives the end of the process.
    // 0 when no file is open or a write or this flush failed.
    int Flush();
    // A write or flush to the current file failed; the file holds at most what came before. Cleared by Close.
    bool Failed() const { return m_bFailed; }
    bool IsOpen() const { return m_file != nullptr; }
    int GetLevel() const { return m_nLevel; }

    static std::string Indent(int n);

    // Each formats one tag and hands it to Write, returning Write's result. Start and empty-element tags
    // change the level by delta before they are written, end tags after.
    int WriteDeclaration(const CXmlElement& element, int delta);
    int WriteStartTag(const CXmlElement& element, int delta, bool indent = true, bool newline = true);
    int WriteEmptyTag(const CXmlElement& element, int delta, bool indent = true, bool newline = true);
    int WriteEndTag(const std::string& name, int delta, bool indent = true, bool newline = true);

protected:
    // Appends bytes to the open file; false when they did not all get there. Tests override it to fill the
    // disk.
    virtual bool AppendToFile(const std::string& bytes);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    static std::string Attributes(const CXmlElement& element);
    int WriteRaw(const std::string& text);

    std::unique_ptr<std::FILE, FileCloser> m_file;
    bool m_bDeclarationWritten = false;
    bool m_bFailed = false;
    std::string m_strFileName;
    int m_nLevel = 0;
};
