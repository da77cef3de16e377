#include "engine/path_judgement.h"

#include <cctype>
#include <vector>

namespace engine {
namespace {

constexpr char kSpaces[] = " \t";

class Win32FileSystemImpl final : public FileSystemApi {
public:
    DWORD Attributes(const std::string& path, DWORD* error) override {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        *error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
        return attributes;
    }
    UINT DriveType(const std::string& root) override { return GetDriveTypeA(root.c_str()); }
    bool Expand(const std::string& text, std::string* expanded) override {
        std::vector<char> buffer(MAX_PATH + 1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const DWORD needed =
                ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
            if (needed == 0) {
                return false;
            }
            if (needed <= buffer.size()) {
                *expanded = buffer.data();
                return true;
            }
            buffer.resize(needed);
        }
        return false;
    }
    bool Search(const std::string& name, std::string* found, DWORD* error) override {
        std::vector<char> buffer(MAX_PATH + 1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const DWORD length = SearchPathA(nullptr, name.c_str(), nullptr,
                                             static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
            if (length == 0) {
                *error = GetLastError();
                return false;
            }
            if (length < buffer.size()) {
                found->assign(buffer.data(), length);
                return true;
            }
            buffer.resize(length + 1);
        }
        *error = ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    std::string FontsFolder() override {
        char dir[MAX_PATH * 3] = {}; // UTF-8: up to 3 bytes per unit
        const UINT n = GetWindowsDirectoryA(dir, sizeof dir);
        return n > 0 && n < sizeof dir ? std::string(dir, n) + "\\Fonts" : std::string();
    }
};

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Characters no file name may hold; a lossy conversion to the ANSI code page leaves '?' behind.
bool HasInvalidCharacter(const std::string& path) {
    return path.find_first_of("?*<>|\"") != std::string::npos;
}

// The length Windows measures against MAX_PATH: UTF-16 units, not bytes.
size_t WideLength(const std::string& path) {
    for (const char c : path) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            const int units =
                MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
            return units > 0 ? static_cast<size_t>(units) : path.size();
        }
    }
    return path.size();
}

std::string Unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

bool IsBare(const std::string& path) {
    return path.find_first_of("\\/:") == std::string::npos;
}

// The last path component, lower case.
std::string FileNameLower(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

bool HasExtension(const std::string& path) {
    return FileNameLower(path).find('.') != std::string::npos;
}

Verdict Combine(Verdict a, Verdict b) {
    if (a == Verdict::Present || b == Verdict::Present) {
        return Verdict::Present;
    }
    return a == Verdict::Missing && b == Verdict::Missing ? Verdict::Missing : Verdict::CannotJudge;
}

} // namespace

FileSystemApi& Win32FileSystem() {
    static Win32FileSystemImpl fs;
    return fs;
}

bool IsServerKey(const char* name) {
    for (const char* server : {"InprocServer32", "LocalServer32", "InprocServer", "LocalServer"}) {
        if (_stricmp(name, server) == 0) {
            return true;
        }
    }
    return false;
}

Reference ServerReference(const char* serverKeyName) {
    return _stricmp(serverKeyName, "LocalServer32") == 0 || _stricmp(serverKeyName, "LocalServer") == 0
               ? Reference::CommandLine
               : Reference::Path;
}

bool Utf8CodePage() {
    return GetACP() == CP_UTF8;
}

Verdict PathJudge::Judge(Reference kind, const std::string& text, const std::string& fileName) {
    m_tested = text;
    if (kind == Reference::CommandLine) {
        return CommandLine(text);
    }
    std::string path;
    if (!Expand(text, &path)) {
        return Verdict::CannotJudge;
    }
    if (kind != Reference::HelpFile) {
        return Plain(path, kind).verdict;
    }
    // The folder and the file name, joined with exactly one backslash.
    const std::string folder = Unquoted(path);
    if (folder.empty() || fileName.empty()) {
        return Verdict::CannotJudge;
    }
    return File(folder.back() == '\\' ? folder + fileName : folder + "\\" + fileName).verdict;
}

bool PathJudge::Expand(const std::string& text, std::string* expanded) {
    if (text.find('%') == std::string::npos) {
        *expanded = text;
        return true;
    }
    // Every variable is expanded; one left as written names no file that can be tested.
    return m_fs.Expand(text, expanded) && expanded->find('%') == std::string::npos;
}

bool PathJudge::DriveVerifiable(char letter) {
    signed char& state = m_drives[static_cast<size_t>(letter - 'A')];
    if (state == kUnknown) {
        const std::string root = std::string(1, letter) + ":\\";
        const UINT type = m_fs.DriveType(root);
        DWORD error = 0;
        const bool fixed = type == DRIVE_FIXED || type == DRIVE_RAMDISK;
        state =
            fixed && m_fs.Attributes(root, &error) != INVALID_FILE_ATTRIBUTES ? kVerifiable : kNotVerifiable;
    }
    return state == kVerifiable;
}

PathJudge::Found PathJudge::File(const std::string& path) {
    m_tested = path;
    if (path.size() < 4 || path[1] != ':' || path[2] != '\\' || HasInvalidCharacter(path) ||
        WideLength(path) >= MAX_PATH) {
        return {Verdict::CannotJudge};
    }
    const unsigned char letter = static_cast<unsigned char>(path[0]);
    if (letter > 0x7F || std::isalpha(letter) == 0 ||
        !DriveVerifiable(static_cast<char>(std::toupper(letter)))) {
        return {Verdict::CannotJudge};
    }
    DWORD error = 0;
    const DWORD attributes = m_fs.Attributes(path, &error);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return {Verdict::Present, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
    }
    return {NotFound(error) ? Verdict::Missing : Verdict::CannotJudge};
}

PathJudge::Found PathJudge::Plain(const std::string& text, Reference kind) {
    const std::string path = Unquoted(text);
    if (path.empty() || HasInvalidCharacter(path)) {
        return {Verdict::CannotJudge};
    }
    if (!IsBare(path)) {
        return File(path);
    }
    if (kind == Reference::Font) {
        const std::string folder = m_fs.FontsFolder();
        return folder.empty() ? Found{Verdict::CannotJudge} : File(folder + "\\" + path);
    }
    std::string found;
    DWORD error = 0;
    m_tested = path;
    if (m_fs.Search(path, &found, &error)) {
        m_tested = found;
        return {Verdict::Present};
    }
    return {NotFound(error) ? Verdict::Missing : Verdict::CannotJudge};
}

Verdict PathJudge::Program(const std::string& name) {
    // A folder of that name is not the program: CreateProcess goes on to the next candidate.
    const auto asProgram = [](const Found& found) {
        return found.verdict == Verdict::Present && found.directory ? Verdict::Missing : found.verdict;
    };
    const Verdict plain = asProgram(Plain(name, Reference::Path));
    if (plain == Verdict::Present || HasExtension(name)) {
        return plain;
    }
    return Combine(plain, asProgram(Plain(name + ".exe", Reference::Path)));
}

Verdict PathJudge::CommandLine(const std::string& text) {
    std::string line;
    if (!Expand(text, &line)) {
        return Verdict::CannotJudge;
    }
    const size_t start = line.find_first_not_of(kSpaces);
    if (start == std::string::npos) {
        return Verdict::CannotJudge;
    }
    if (line[start] == '"') {
        const size_t close = line.find('"', start + 1);
        if (close == std::string::npos) {
            return Verdict::CannotJudge;
        }
        const std::string host = line.substr(start + 1, close - start - 1);
        const Verdict verdict = Program(host);
        return verdict == Verdict::Present ? HostModule(host, line.substr(close + 1)) : verdict;
    }
    // Unquoted: each text before a space is a candidate, shortest first, as CreateProcess tries them. The
    // entry is missing only when every candidate, the whole text included, is certainly missing.
    Verdict all = Verdict::Missing;
    for (size_t end = line.find(' ', start);; end = line.find(' ', end + 1)) {
        const std::string candidate =
            line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // A quote cannot be part of a file name: such a candidate is certainly not the program.
        const Verdict verdict =
            candidate.find('"') != std::string::npos ? Verdict::Missing : Program(candidate);
        if (verdict == Verdict::Present) {
            return HostModule(candidate, end == std::string::npos ? std::string() : line.substr(end));
        }
        if (verdict == Verdict::CannotJudge) {
            all = Verdict::CannotJudge;
        }
        if (end == std::string::npos) {
            return all;
        }
    }
}

Verdict PathJudge::HostModule(const std::string& host, const std::string& arguments) {
    const std::string name = FileNameLower(host);
    const bool rundll = name == "rundll32.exe" || name == "rundll32";
    if (!rundll && name != "regsvr32.exe" && name != "regsvr32") {
        return Verdict::Present;
    }
    size_t start = arguments.find_first_not_of(kSpaces);
    // regsvr32's switches (/s, /i:text, -u) come before the module.
    while (!rundll && start != std::string::npos && (arguments[start] == '/' || arguments[start] == '-')) {
        start = arguments.find_first_not_of(kSpaces, arguments.find(' ', start));
    }
    if (start == std::string::npos) {
        return Verdict::CannotJudge;
    }
    std::string module;
    if (arguments[start] == '"') {
        const size_t close = arguments.find('"', start + 1);
        if (close == std::string::npos) {
            return Verdict::CannotJudge;
        }
        module = arguments.substr(start + 1, close - start - 1);
    } else {
        // rundll32 reads the module up to the comma before the entry point.
        const size_t end = arguments.find_first_of(rundll ? "," : " ", start);
        module = arguments.substr(start, end == std::string::npos ? std::string::npos : end - start);
        module.erase(module.find_last_not_of(kSpaces) + 1);
    }
    if (module.empty()) {
        return Verdict::CannotJudge;
    }
    const Verdict verdict = Plain(module, Reference::Path).verdict;
    if (verdict == Verdict::Present || HasExtension(module)) {
        return verdict;
    }
    // LoadLibrary adds ".dll" to a name without an extension.
    return Combine(verdict, Plain(module + ".dll", Reference::Path).verdict);
}

} // namespace engine
