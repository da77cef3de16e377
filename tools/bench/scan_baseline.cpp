// scan-baseline: walks the same registry keys and values as the scan and judges the same file paths by the
// same rules (quotes, command lines read as CreateProcess reads them, bare names searched for, the hive that
// holds a class), with direct Win32 calls and nothing else (no records, no callbacks, no stop checks). It
// prints one line per broken entry on stdout and the totals on stderr, so its output costs about what the
// scan's does.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Counts {
    int scanned = 0;
    int found = 0;
    Counts operator+(const Counts& other) const { return {scanned + other.scanned, found + other.found}; }
};

class Key {
public:
    Key(HKEY parent, const char* sub) {
        if (RegOpenKeyExA(parent, sub, 0, KEY_READ, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
        }
    }
    ~Key() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::vector<std::string> SubKeys(HKEY key) {
    DWORD count = 0;
    DWORD longest = 0;
    std::vector<std::string> names;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    std::vector<char> buf(longest + 1);
    for (DWORD i = 0;; ++i) {
        DWORD len = longest + 1;
        if (RegEnumKeyExA(key, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(buf.data(), len);
    }
    return names;
}

struct Value {
    std::string name;
    std::string data;
    DWORD type = 0;
    bool hasData = false;
};

// Every value of a key; the unnamed value comes first, present or not, as the scan sees it.
std::vector<Value> Values(HKEY key) {
    std::vector<Value> values(1);
    DWORD count = 0;
    DWORD nameLen = 0;
    DWORD dataLen = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &nameLen,
                         &dataLen, nullptr, nullptr) != ERROR_SUCCESS) {
        return values;
    }
    std::vector<char> name(nameLen + 1);
    std::vector<BYTE> data(dataLen + 2);
    for (DWORD i = 0; i < count; ++i) {
        DWORD n = nameLen + 1;
        DWORD d = dataLen + 2;
        Value v;
        if (RegEnumValueA(key, i, name.data(), &n, nullptr, &v.type, data.data(), &d) != ERROR_SUCCESS) {
            break;
        }
        v.hasData = true;
        if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
            v.data.assign(reinterpret_cast<char*>(data.data()), d);
            v.data.resize(std::strlen(v.data.c_str()));
        } else {
            v.data = std::to_string(d) + " bytes";
        }
        if (n == 0) {
            values[0] = v;
        } else {
            v.name.assign(name.data(), n);
            values.push_back(std::move(v));
        }
    }
    return values;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// ---- the judgement of a registry text, written out plainly ----------------------------------------
// Present, missing, or cannot judge (unknown): only missing makes a finding.
enum class Verdict { Present, Missing, Unknown };

Verdict Either(Verdict a, Verdict b) {
    if (a == Verdict::Present || b == Verdict::Present) {
        return Verdict::Present;
    }
    return a == Verdict::Missing && b == Verdict::Missing ? Verdict::Missing : Verdict::Unknown;
}

bool NotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string Unquote(const std::string& s) {
    return s.size() >= 2 && s.front() == '"' && s.back() == '"' ? s.substr(1, s.size() - 2) : s;
}

bool HasDot(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return path.find('.', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

class Judge {
public:
    explicit Judge(std::string fontsDir) : m_fontsDir(std::move(fontsDir)) {}

    Verdict Path(const std::string& text, bool font = false) {
        std::string path;
        return Expand(text, &path) ? Plain(path, font).first : Verdict::Unknown;
    }

    Verdict Help(const std::string& folderText, const std::string& file) {
        std::string folder;
        if (!Expand(folderText, &folder) || (folder = Unquote(folder)).empty() || file.empty()) {
            return Verdict::Unknown;
        }
        return File(folder.back() == '\\' ? folder + file : folder + "\\" + file).first;
    }

    // As CreateProcess reads a command line: a quoted program, or each text before a space in turn.
    Verdict CommandLine(const std::string& text) {
        std::string line;
        if (!Expand(text, &line)) {
            return Verdict::Unknown;
        }
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos) {
            return Verdict::Unknown;
        }
        if (line[start] == '"') {
            const auto close = line.find('"', start + 1);
            if (close == std::string::npos) {
                return Verdict::Unknown;
            }
            const std::string program = line.substr(start + 1, close - start - 1);
            const Verdict v = Program(program);
            return v == Verdict::Present ? Module(program, line.substr(close + 1)) : v;
        }
        Verdict all = Verdict::Missing;
        for (auto end = line.find(' ', start);; end = line.find(' ', end + 1)) {
            const std::string program = line.substr(start, end == std::string::npos ? end : end - start);
            const Verdict v = program.find('"') != std::string::npos ? Verdict::Missing : Program(program);
            if (v == Verdict::Present) {
                return Module(program, end == std::string::npos ? std::string() : line.substr(end));
            }
            all = v == Verdict::Unknown ? v : all;
            if (end == std::string::npos) {
                return all;
            }
        }
    }

private:
    bool Expand(const std::string& text, std::string* out) {
        if (text.find('%') == std::string::npos) {
            *out = text;
            return true;
        }
        std::vector<char> buf(MAX_PATH + 1);
        DWORD n = ExpandEnvironmentStringsA(text.c_str(), buf.data(), DWORD(buf.size()));
        if (n > buf.size()) {
            buf.resize(n);
            n = ExpandEnvironmentStringsA(text.c_str(), buf.data(), DWORD(buf.size()));
        }
        if (n == 0 || n > buf.size()) {
            return false;
        }
        *out = buf.data();
        return out->find('%') == std::string::npos;
    }

    bool DriveAnswers(char letter) {
        auto& state = m_drives[std::toupper(static_cast<unsigned char>(letter)) - 'A'];
        if (state == 0) {
            const char root[] = {letter, ':', '\\', '\0'};
            const UINT type = GetDriveTypeA(root);
            state = (type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
                            GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES
                        ? 1
                        : 2;
        }
        return state == 1;
    }

    // A full "X:\..." path: the verdict, and whether it is a folder.
    std::pair<Verdict, bool> File(const std::string& path) {
        size_t units = path.size();
        if (std::any_of(path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            units = size_t(MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0));
        }
        if (path.size() < 4 || path[1] != ':' || path[2] != '\\' ||
            path.find_first_of("?*<>|\"") != std::string::npos || units >= MAX_PATH ||
            !std::isalpha(static_cast<unsigned char>(path[0])) || !DriveAnswers(path[0])) {
            return {Verdict::Unknown, false};
        }
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            return {Verdict::Present, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
        }
        return {NotFound(GetLastError()) ? Verdict::Missing : Verdict::Unknown, false};
    }

    // A path, or a bare name looked up where Windows looks (the Fonts folder for a font).
    std::pair<Verdict, bool> Plain(const std::string& text, bool font) {
        const std::string path = Unquote(text);
        if (path.empty() || path.find_first_of("?*<>|\"") != std::string::npos) {
            return {Verdict::Unknown, false};
        }
        if (path.find_first_of("\\/:") != std::string::npos) {
            return File(path);
        }
        if (font) {
            return File(m_fontsDir + path);
        }
        char found[MAX_PATH + 1];
        if (SearchPathA(nullptr, path.c_str(), nullptr, sizeof found, found, nullptr) != 0) {
            return {Verdict::Present, false};
        }
        return {NotFound(GetLastError()) ? Verdict::Missing : Verdict::Unknown, false};
    }

    Verdict Program(const std::string& name) {
        const auto program = [this](const std::string& path) {
            const auto [v, folder] = Plain(path, false);
            return v == Verdict::Present && folder ? Verdict::Missing : v;
        };
        const Verdict v = program(name);
        return v == Verdict::Present || HasDot(name) ? v : Either(v, program(name + ".exe"));
    }

    // rundll32 and regsvr32 work only when their module argument exists too.
    Verdict Module(const std::string& program, const std::string& args) {
        const auto slash = program.find_last_of("\\/");
        const std::string name = Lower(slash == std::string::npos ? program : program.substr(slash + 1));
        const bool rundll = name == "rundll32.exe" || name == "rundll32";
        if (!rundll && name != "regsvr32.exe" && name != "regsvr32") {
            return Verdict::Present;
        }
        auto start = args.find_first_not_of(" \t");
        while (!rundll && start != std::string::npos && (args[start] == '/' || args[start] == '-')) {
            start = args.find_first_not_of(" \t", args.find(' ', start));
        }
        if (start == std::string::npos) {
            return Verdict::Unknown;
        }
        std::string module;
        if (args[start] == '"') {
            const auto close = args.find('"', start + 1);
            if (close == std::string::npos) {
                return Verdict::Unknown;
            }
            module = args.substr(start + 1, close - start - 1);
        } else {
            const auto end = args.find_first_of(rundll ? "," : " ", start);
            module = args.substr(start, end == std::string::npos ? end : end - start);
            module.erase(module.find_last_not_of(" \t") + 1);
        }
        if (module.empty()) {
            return Verdict::Unknown;
        }
        const Verdict v = Plain(module, false).first;
        return v == Verdict::Present || HasDot(module) ? v : Either(v, Plain(module + ".dll", false).first);
    }

    std::string m_fontsDir;
    signed char m_drives[26] = {};
};

// The "(Default)" text of subkey `sub` of `parent`; false when it is absent or no string.
bool DefaultText(HKEY parent, const char* sub, std::string* text) {
    Key key(parent, sub);
    if (!key) {
        return false;
    }
    char data[512];
    DWORD type = 0;
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    data[size] = '\0';
    *text = data;
    return true;
}

// Keys below HKEY_CLASSES_ROOT that many classes share: never a class's own ProgID.
bool SharedClassesKey(const std::string& name) {
    static const char* const shared[] = {"*",
                                         "AllFilesystemObjects",
                                         "AppID",
                                         "Applications",
                                         "AudioCD",
                                         "CLSID",
                                         "Component Categories",
                                         "DesktopBackground",
                                         "Directory",
                                         "Drive",
                                         "DVD",
                                         "Extensions",
                                         "FileType",
                                         "Folder",
                                         "Installer",
                                         "Interface",
                                         "LibraryFolder",
                                         "Local Settings",
                                         "Media Type",
                                         "MIME",
                                         "Network",
                                         "NetServer",
                                         "NetShare",
                                         "PackagedCom",
                                         "Printers",
                                         "Protocols",
                                         "SystemFileAssociations",
                                         "TypeLib",
                                         "Unknown",
                                         "Wow6432Node"};
    return std::any_of(std::begin(shared), std::end(shared),
                       [&](const char* s) { return _stricmp(s, name.c_str()) == 0; });
}

// The registry's own name of an open key (NtQueryKey, KeyNameInformation), so that a key both registry views
// share is walked once, as the scan does; empty when it cannot be told.
std::wstring RealName(HKEY key) {
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
    std::vector<BYTE> buffer(4096);
    ULONG needed = 0;
    ULONG bytes = 0;
    if (query == nullptr || query(key, 3, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        return std::wstring();
    }
    std::memcpy(&bytes, buffer.data(), sizeof bytes);
    bytes = std::min<ULONG>(bytes, static_cast<ULONG>(buffer.size() - sizeof bytes));
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof bytes),
                        bytes / sizeof(wchar_t));
}

// The families after the first five: the same keys and values, and one file test for each text the scan
// judges (the uninstaller of each software entry, its folder and icon only when that is missing).
class FurtherFamilies {
public:
    FurtherFamilies(std::string& out, Judge& judge) : m_out(out), m_judge(judge) {}

    Counts Scan() {
        static const char* const kVersions[][2] = {
            {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"},
            {"HKLM", "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\"},
            {"HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\"},
        };
        Counts c;
        for (const auto& version : kVersions) {
            const HKEY root = std::strcmp(version[0], "HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
            const std::string base = version[1];
            EachKey(root, base + "App Paths", c, [&](const std::vector<Value>& values) {
                return values[0].hasData && !values[0].data.empty() &&
                       Named(values, "BlockOnTSNonInstallMode") == nullptr &&
                       m_judge.Path(values[0].data) == Verdict::Missing;
            });
            EachKey(root, base + "Uninstall", c, [&](const std::vector<Value>& values) {
                const Value* uninstaller = Named(values, "UninstallString");
                if (uninstaller == nullptr || Named(values, "WindowsInstaller") != nullptr ||
                    Named(values, "SystemComponent") != nullptr ||
                    Lower(uninstaller->data).find("msiexec") != std::string::npos ||
                    m_judge.CommandLine(uninstaller->data) != Verdict::Missing) {
                    return false;
                }
                const Value* folder = Named(values, "InstallLocation");
                const Value* icon = Named(values, "DisplayIcon");
                return (folder == nullptr || m_judge.Path(folder->data) == Verdict::Missing) &&
                       (icon == nullptr ||
                        m_judge.Path(icon->data.substr(0, icon->data.rfind(','))) == Verdict::Missing);
            });
            for (const char* run : {"Run", "RunOnce"}) {
                Key key(root, (base + run).c_str());
                if (key && Repeat(RealName(key.get()))) {
                    continue;
                }
                for (const Value& v : key ? Values(key.get()) : std::vector<Value>{}) {
                    if (!v.name.empty()) {
                        Count(c, "Startup", m_judge.CommandLine(v.data) == Verdict::Missing, v);
                    }
                }
            }
        }
        for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            TypeLibs(root, c);
        }
        Sounds(c);
        Key mui(HKEY_CURRENT_USER,
                "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache");
        for (const Value& v : mui ? Values(mui.get()) : std::vector<Value>{}) {
            const auto dot = v.name.rfind('.');
            if (!v.name.empty() && v.name[0] != '@' && dot != std::string::npos) {
                Count(c, "MuiCache", m_judge.Path(v.name.substr(0, dot)) == Verdict::Missing, v);
            }
        }
        Key folders(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders");
        for (const Value& v : folders ? Values(folders.get()) : std::vector<Value>{}) {
            if (!v.name.empty()) {
                Count(c, "InstallerFolder", m_judge.Path(v.name) == Verdict::Missing, v);
            }
        }
        return c;
    }

private:
    bool Repeat(const std::wstring& name) {
        if (name.empty()) {
            return false;
        }
        for (const std::wstring& seen : m_seen) {
            if (_wcsicmp(seen.c_str(), name.c_str()) == 0) {
                return true;
            }
        }
        m_seen.push_back(name);
        return false;
    }
    static const Value* Named(const std::vector<Value>& values, const char* name) {
        for (const Value& v : values) {
            if (_stricmp(v.name.c_str(), name) == 0 && v.hasData && !v.data.empty()) {
                return &v;
            }
        }
        return nullptr;
    }
    void Count(Counts& c, const char* category, bool missing, const Value& v) {
        ++c.scanned;
        if (missing) {
            ++c.found;
            m_out += std::string(category) + '\t' + v.name + '\t' + v.data + '\n';
        }
    }
    template <class Broken> void EachKey(HKEY root, const std::string& path, Counts& c, Broken broken) {
        Key key(root, path.c_str());
        if (key && Repeat(RealName(key.get()))) {
            return; // the 32-bit view's name of a key the 64-bit walk read
        }
        for (const std::string& sub : key ? SubKeys(key.get()) : std::vector<std::string>{}) {
            Key entry(key.get(), sub.c_str());
            if (entry) {
                const std::vector<Value> values = Values(entry.get());
                Count(c, "Key", broken(values), values[0]);
            }
        }
    }
    void TypeLibs(HKEY root, Counts& c) {
        Key libs(root, "Software\\Classes\\TypeLib");
        for (const std::string& id : libs ? SubKeys(libs.get()) : std::vector<std::string>{}) {
            Key lib(libs.get(), id.c_str());
            for (const std::string& version : lib ? SubKeys(lib.get()) : std::vector<std::string>{}) {
                Key ver(lib.get(), version.c_str());
                for (const std::string& locale : ver ? SubKeys(ver.get()) : std::vector<std::string>{}) {
                    Key loc(ver.get(), locale.c_str());
                    for (const std::string& platform :
                         loc ? SubKeys(loc.get()) : std::vector<std::string>{}) {
                        Key key(loc.get(), platform.c_str());
                        if (key) {
                            const Value v = Values(key.get())[0];
                            std::string file = v.data;
                            if (const auto slash = file.rfind('\\');
                                slash != std::string::npos &&
                                std::isdigit(static_cast<unsigned char>(file.back()))) {
                                file.resize(slash);
                            }
                            Count(c, "TypeLib",
                                  v.hasData && !file.empty() && m_judge.Path(file) == Verdict::Missing, v);
                        }
                    }
                }
            }
        }
    }
    void Sounds(Counts& c) {
        Key apps(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps");
        for (const std::string& app : apps ? SubKeys(apps.get()) : std::vector<std::string>{}) {
            Key appKey(apps.get(), app.c_str());
            for (const std::string& event : appKey ? SubKeys(appKey.get()) : std::vector<std::string>{}) {
                Key current(appKey.get(), (event + "\\.Current").c_str());
                if (current) {
                    const Value v = Values(current.get())[0];
                    Count(c, "Sound",
                          v.hasData && !v.data.empty() && m_judge.Path(v.data) == Verdict::Missing, v);
                }
            }
        }
    }

    std::string& m_out;
    Judge& m_judge;
    std::vector<std::wstring> m_seen;
};

class Baseline {
public:
    Baseline() {
        char dir[MAX_PATH] = {};
        GetWindowsDirectoryA(dir, sizeof dir);
        m_windowsDir = dir;
        m_wow64Dir = GetSystemWow64DirectoryA(dir, sizeof dir) != 0 ? dir : "";
    }
    int Run();

private:
    void Report(const char* category, const std::string& keyPath, const Value* v) {
        m_out += category;
        m_out += '\t';
        m_out += keyPath;
        if (v != nullptr) {
            m_out += '\t' + (v->name.empty() ? std::string("(Default)") : v->name) + '\t' + v->data;
        }
        m_out += '\n';
    }

    static bool IsServer(const std::string& lower) {
        return lower == "inprocserver32" || lower == "localserver32" || lower == "inprocserver" ||
               lower == "localserver";
    }
    static bool IsCommandLine(const std::string& lower) {
        return lower == "localserver32" || lower == "localserver";
    }

    // The key path of a class or ProgID in the hive that holds it: the user's copy first.
    static std::string HivePath(const std::string& below) {
        for (const auto& [root, name] : {std::pair{HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
                                         std::pair{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}}) {
            HKEY key = nullptr;
            const LONG rc =
                RegOpenKeyExA(root, ("Software\\Classes\\" + below).c_str(), 0, KEY_QUERY_VALUE, &key);
            if (rc == ERROR_SUCCESS) {
                RegCloseKey(key);
                return std::string(name) + "\\Software\\Classes\\" + below;
            }
            if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) {
                return std::string();
            }
        }
        return "HKEY_CLASSES_ROOT\\" + below;
    }

    // The 32-bit view's file names as a 64-bit process must test them.
    std::string ThirtyTwoBit(std::string text) const {
        const auto replace = [this, &text](const std::string& from, const std::string& to,
                                           bool underWindows) {
            const std::string lower = Lower(text);
            const std::string windows = Lower(m_windowsDir);
            for (auto at = lower.rfind(Lower(from)); at != std::string::npos;
                 at = at == 0 ? std::string::npos : lower.rfind(Lower(from), at - 1)) {
                const auto end = at + from.size();
                const char next = end < text.size() ? text[end] : '\0';
                const auto under = [&](const std::string& parent) {
                    return at >= parent.size() &&
                           lower.compare(at - parent.size(), parent.size(), parent) == 0;
                };
                if (!underWindows ||
                    ((next == '\0' || next == '\\' || next == '"' || next == ' ' || next == ',') &&
                     (under(windows) || under("%systemroot%") || under("%windir%")))) {
                    text.replace(at, from.size(), to);
                }
            }
        };
        if (m_wow64Dir.empty()) {
            return text;
        }
        replace("%ProgramFiles%", "%ProgramFiles(x86)%", false);
        replace("%CommonProgramFiles%", "%CommonProgramFiles(x86)%", false);
        replace("\\System32", "\\SysWOW64", true);
        if (text.find_first_of("\\%") == std::string::npos) {
            text.insert(!text.empty() && text[0] == '"' ? 1 : 0, m_wow64Dir + "\\");
        }
        return text;
    }

    // A text of the 32-bit view (`wow`) is tested as a 32-bit program reads it; a bare name that is not in
    // SysWOW64 is searched for as written.
    template <class Test> Verdict As(bool wow, const std::string& text, Test test) const {
        const std::string file = wow ? ThirtyTwoBit(text) : text;
        const Verdict verdict = test(file);
        return verdict == Verdict::Missing && file != text && text.find_first_of("\\%") == std::string::npos
                   ? test(text)
                   : verdict;
    }
    Verdict Server(const std::string& lower, const std::string& text, bool wow) {
        return As(wow, text, [&](const std::string& t) {
            return IsCommandLine(lower) ? m_judge.CommandLine(t) : m_judge.Path(t);
        });
    }
    static bool Wow(const std::string& keyPath) {
        return Lower(keyPath).find("wow6432node") != std::string::npos;
    }

    // A ProgID key goes with its dead class only when it certainly belongs to that class alone.
    bool ProgIdGoes(const std::string& progId, const std::string& id, bool wow) {
        if (progId.empty() || progId.find('\\') != std::string::npos || progId[0] == '.' ||
            SharedClassesKey(progId)) {
            return false;
        }
        Key key(HKEY_CLASSES_ROOT, progId.c_str());
        std::string named;
        if (!key || !DefaultText(key.get(), "CLSID", &named) || _stricmp(named.c_str(), id.c_str()) != 0) {
            return false;
        }
        for (const auto& sub : SubKeys(key.get())) {
            const std::string s = Lower(sub);
            if (s != "clsid" && s != "curver" && s != "defaulticon" && s != "shell" && s != "shellex" &&
                s != "insertable" && s != "notinsertable") {
                return false;
            }
        }
        for (const auto& [text, namer] : m_namers) {
            if (_stricmp(text.c_str(), progId.c_str()) == 0 && _stricmp(namer.c_str(), id.c_str()) != 0) {
                return false;
            }
        }
        // ProgIDs are shared by both views: a working server of the same class in the other view keeps it.
        HKEY other = nullptr;
        const LONG rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + id).c_str(), 0,
                                      KEY_READ | (wow ? KEY_WOW64_64KEY : KEY_WOW64_32KEY), &other);
        if (rc == ERROR_SUCCESS) {
            bool dead = true;
            for (const auto& sub : SubKeys(other)) {
                std::string text;
                const std::string lower = Lower(sub);
                if (dead && IsServer(lower) && DefaultText(other, sub.c_str(), &text)) {
                    dead = !text.empty() && Server(lower, text, !wow) == Verdict::Missing;
                }
            }
            RegCloseKey(other);
            return dead;
        }
        return rc == ERROR_FILE_NOT_FOUND;
    }

    // The merged 64-bit view, then the 32-bit view's classes of the user and of the machine (the user's copy
    // hides the machine's).
    Counts ScanClasses() {
        Counts c;
        std::vector<std::tuple<std::string, std::string, bool>> pending; // ProgID, class, 32-bit
        std::vector<std::string> userIds;
        const std::tuple<HKEY, const char*, const char*> views[] = {
            {HKEY_CLASSES_ROOT, "CLSID", ""},
            {HKEY_CURRENT_USER, "Software\\Classes\\Wow6432Node\\CLSID", "HKEY_CURRENT_USER\\"},
            {HKEY_LOCAL_MACHINE, "Software\\Classes\\Wow6432Node\\CLSID", "HKEY_LOCAL_MACHINE\\"},
        };
        for (const auto& [hive, below, name] : views) {
            ScanClassList(hive, below, name, c, pending, userIds);
        }
        // A ProgID is judged once every class has been seen: another class may name it too.
        for (const auto& [progId, id, wow] : pending) {
            const std::string path = ProgIdGoes(progId, id, wow) ? HivePath(progId) : "";
            if (!path.empty()) {
                Report("PROGID", path, nullptr);
                ++c.found;
            }
        }
        return c;
    }

    void ScanClassList(HKEY hive, const std::string& below, const std::string& name, Counts& c,
                       std::vector<std::tuple<std::string, std::string, bool>>& pending,
                       std::vector<std::string>& userIds) {
        const bool wow = hive != HKEY_CLASSES_ROOT;
        Key root(hive, below.c_str());
        if (!root) {
            return;
        }
        for (const auto& id : SubKeys(root.get())) {
            if (_stricmp(id.c_str(), "Wow6432Node") == 0) {
                continue;
            }
            if (hive == HKEY_CURRENT_USER) {
                userIds.push_back(Lower(id));
            } else if (hive == HKEY_LOCAL_MACHINE &&
                       std::find(userIds.begin(), userIds.end(), Lower(id)) != userIds.end()) {
                continue;
            }
            Key cls(root.get(), id.c_str());
            if (!cls) {
                continue;
            }
            std::vector<Value> dead;
            std::vector<std::string> deadProgIds;
            bool works = false;
            bool judged = true;
            for (const auto& sub : SubKeys(cls.get())) {
                const std::string lower = Lower(sub);
                if (lower == "progid" || lower == "versionindependentprogid") {
                    std::string text;
                    if (DefaultText(cls.get(), sub.c_str(), &text)) {
                        m_namers.emplace_back(text, id);
                    }
                    continue;
                }
                if (!IsServer(lower)) {
                    continue;
                }
                Key server(cls.get(), sub.c_str());
                if (!server) {
                    judged = false;
                    continue;
                }
                const Value v = Values(server.get())[0];
                ++c.scanned;
                if (!v.hasData) {
                    continue;
                }
                const Verdict verdict = Server(lower, v.data, wow);
                if (verdict == Verdict::Missing) {
                    dead.push_back(v);
                    Key progId(cls.get(), "ProgID");
                    const Value text = progId ? Values(progId.get())[0] : Value{};
                    c.scanned += progId ? 1 : 0;
                    deadProgIds.push_back(text.hasData ? text.data : std::string());
                } else {
                    works = works || verdict == Verdict::Present;
                    judged = judged && verdict == Verdict::Present;
                }
            }
            const std::string path = works || !judged || dead.empty() ? ""
                                     : wow                            ? name + below + "\\" + id
                                                                      : HivePath("CLSID\\" + id);
            for (size_t i = 0; !path.empty() && i < dead.size(); ++i) {
                Report("CLSID", path, &dead[i]);
                ++c.found;
                pending.emplace_back(deadProgIds[i], id, wow);
            }
        }
    }

    Counts ScanValues(const char* keyPath, const char* category, bool pathInName, bool font) {
        Counts c;
        Key key(HKEY_LOCAL_MACHINE, keyPath);
        if (!key) {
            return c;
        }
        for (const auto& v : Values(key.get())) {
            ++c.scanned;
            const std::string& text = pathInName ? v.name : v.data;
            if (text.empty() && (pathInName || !v.hasData)) {
                continue;
            }
            if (As(Wow(keyPath), text, [&](const std::string& t) { return m_judge.Path(t, font); }) ==
                Verdict::Missing) {
                Report(category, std::string("HKEY_LOCAL_MACHINE\\") + keyPath, &v);
                ++c.found;
            }
        }
        return c;
    }

    Counts ScanHelp(const std::string& windowsPath) {
        Counts c;
        Key windows(HKEY_LOCAL_MACHINE, windowsPath.c_str());
        for (const auto& sub : windows ? SubKeys(windows.get()) : std::vector<std::string>{}) {
            const std::string lower = Lower(sub);
            if (lower != "help" && lower != "html help") {
                continue;
            }
            Key help(windows.get(), sub.c_str());
            for (const auto& v : help ? Values(help.get()) : std::vector<Value>{}) {
                ++c.scanned;
                // The unnamed value names no file.
                if (v.hasData && !v.name.empty() && As(Wow(windowsPath), v.data, [&](const std::string& t) {
                                                        return m_judge.Help(t, v.name);
                                                    }) == Verdict::Missing) {
                    Report("Help", "HKEY_LOCAL_MACHINE\\" + windowsPath + "\\" + lower, &v);
                    ++c.found;
                }
            }
        }
        return c;
    }

    Counts ScanTools(const std::string& rootPath) {
        Counts c;
        Key root(HKEY_LOCAL_MACHINE, rootPath.c_str());
        for (const auto& sub : root ? SubKeys(root.get()) : std::vector<std::string>{}) {
            Key tool(root.get(), sub.c_str());
            for (const auto& v : tool ? Values(tool.get()) : std::vector<Value>{}) {
                ++c.scanned;
                const auto first = v.name.find_first_not_of(" \t\r\n");
                const auto last = v.name.find_last_not_of(" \t\r\n");
                if (first == std::string::npos || Lower(v.name.substr(first, last - first + 1)) != "path" ||
                    !v.hasData) {
                    continue;
                }
                if (As(Wow(rootPath), v.data, [&](const std::string& t) { return m_judge.Path(t); }) ==
                    Verdict::Missing) {
                    Report("SharedTools", "HKEY_LOCAL_MACHINE\\" + rootPath + "\\" + sub, &v);
                    ++c.found;
                }
            }
        }
        return c;
    }

    std::string m_windowsDir;
    std::string m_wow64Dir;
    Judge m_judge{FontsDir()};
    std::vector<std::pair<std::string, std::string>> m_namers; // a class's ProgID text, the class
    std::string m_out;

    static std::string FontsDir() {
        char dir[MAX_PATH] = {};
        GetWindowsDirectoryA(dir, sizeof dir);
        return std::string(dir) + "\\Fonts\\";
    }
};

int Baseline::Run() {
    const Counts rows[] = {
        ScanClasses(),
        ScanHelp("SOFTWARE\\Microsoft\\Windows") + ScanHelp("SOFTWARE\\WOW6432Node\\Microsoft\\Windows"),
        ScanTools("SOFTWARE\\Microsoft\\Shared Tools") +
            ScanTools("SOFTWARE\\WOW6432Node\\Microsoft\\Shared Tools"),
        ScanValues("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", "SharedFile", true, false) +
            ScanValues("SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", "SharedFile",
                       true, false),
        ScanValues("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "font", false, true),
        FurtherFamilies(m_out, m_judge).Scan(),
    };
    std::fwrite(m_out.data(), 1, m_out.size(), stdout);
    std::fflush(stdout);
    int found = 0;
    std::fprintf(stderr, "baseline:");
    for (const auto& r : rows) {
        std::fprintf(stderr, " %d/%d", r.scanned, r.found);
        found += r.found;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::fprintf(stderr, " findings=%d peak_working_set_kib=%zu\n", found, memory.PeakWorkingSetSize / 1024);
    return 0;
}

} // namespace

int main() {
    return Baseline().Run();
}
