#pragma once
// Whether the file that registry text refers to is certainly gone. The verdict is "missing" only when
// Windows itself would fail to find the file; whatever cannot be told for certain (a drive that is not a
// verifiable fixed drive, a path form that is not "X:\...", access denied, a variable left unexpanded, a
// path too long) is "cannot judge", and only "missing" makes a finding.
#include <windows.h>

#include <array>
#include <string>

namespace engine {

// The file-system calls a judgement makes. The programs use the real Win32 calls; tests can map drive
// letters onto folders of the test prefix.
class FileSystemApi {
public:
    virtual ~FileSystemApi() = default;
    // GetFileAttributesA; on INVALID_FILE_ATTRIBUTES, *error holds GetLastError.
    virtual DWORD Attributes(const std::string& path, DWORD* error) = 0;
    // GetDriveTypeA of a root such as "C:\".
    virtual UINT DriveType(const std::string& root) = 0;
    // ExpandEnvironmentStringsA of the whole text; false when the call failed.
    virtual bool Expand(const std::string& text, std::string* expanded) = 0;
    // SearchPathA of a bare file name where Windows looks for programs and modules (the System folder, the
    // Windows folder, PATH). True with the full path when found; otherwise *error holds GetLastError.
    virtual bool Search(const std::string& name, std::string* found, DWORD* error) = 0;
    // The folder that holds the fonts registered by bare name.
    virtual std::string FontsFolder() = 0;
};

FileSystemApi& Win32FileSystem();

enum class Verdict { Present, Missing, CannotJudge };

// How a registry text names its file.
enum class Reference {
    Path,        // a plain path (one pair of surrounding quotes allowed); a bare name is searched for
    CommandLine, // read as CreateProcess reads it; rundll32/regsvr32 hosts have their module judged too
    Font,        // a plain path; a bare name lives in the Fonts folder
    HelpFile,    // the text is the folder, the file name is given apart
};

// True for the subkeys of a COM class that name its server ("InprocServer32", "LocalServer32", ...).
bool IsServerKey(const char* name);

// The reference kind of a COM server key ("InprocServer32", "LocalServer32", ...).
Reference ServerReference(const char* serverKeyName);

// True when the process's ANSI code page is UTF-8, so that ANSI calls carry every name exactly.
bool Utf8CodePage();

// Judges registry texts. Drive answers are remembered for the life of the object, so one judge serves one
// scan (or one fix) and no more.
class PathJudge {
public:
    explicit PathJudge(FileSystemApi& fs = Win32FileSystem()) : m_fs(fs) { m_drives.fill(kUnknown); }

    Verdict Judge(Reference kind, const std::string& text, const std::string& fileName = std::string());
    // The path the last judgement tested last (the file found by a search), or its text when it tested none:
    // what the scan shows as its progress.
    const std::string& TestedPath() const { return m_tested; }

private:
    enum : signed char { kUnknown, kVerifiable, kNotVerifiable };
    struct Found {
        Verdict verdict;
        bool directory = false;
    };

    bool Expand(const std::string& text, std::string* expanded);
    // A full "X:\..." path on a verifiable drive.
    Found File(const std::string& path);
    // A plain path or a bare name looked up where `kind` says.
    Found Plain(const std::string& path, Reference kind);
    // A program named at the start of a command line: the name, and the name with ".exe" added.
    Verdict Program(const std::string& name);
    Verdict CommandLine(const std::string& text);
    // The module argument of a rundll32 or regsvr32 command line.
    Verdict HostModule(const std::string& host, const std::string& arguments);
    bool DriveVerifiable(char letter);

    FileSystemApi& m_fs;
    std::array<signed char, 26> m_drives{};
    std::string m_tested;
};

} // namespace engine
