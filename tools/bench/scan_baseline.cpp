// scan-baseline: walks the same registry keys and values as the scan and tests the same file paths,
// with direct Win32 calls and nothing else (no records, no callbacks, no stop checks). It prints one
// line per broken entry on stdout and the totals on stderr, so its output costs about what the scan's does.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Counts {
    int scanned = 0;
    int found = 0;
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

std::string Normalize(std::string t, const std::string& base) {
    t.erase(std::remove(t.begin(), t.end(), '"'), t.end());
    if (auto p = t.find('/'); p != std::string::npos && p > 0) {
        t.resize(p);
    }
    if (auto p = t.find(" -"); p != std::string::npos && p > 0) {
        t.resize(p);
    }
    if (auto p = t.find('%'); p != std::string::npos) {
        const auto q = t.find('%', p + 1);
        if (q != std::string::npos) {
            const std::string var = t.substr(p, q - p + 1);
            char buf[256];
            const DWORD n = ExpandEnvironmentStringsA(var.c_str(), buf, sizeof buf);
            if (n > 0 && n <= sizeof buf) {
                for (auto at = t.find(var); at != std::string::npos; at = t.find(var, at + n - 1)) {
                    t.replace(at, var.size(), buf);
                }
            }
        }
    } else if (t.find('\\') == std::string::npos) {
        t = base + t;
    }
    return t;
}

bool Missing(const std::string& path) {
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// A ProgID may be removed when its key is gone or points back to this class.
bool ProgIdBelongsTo(const std::string& progId, const std::string& classId) {
    if (progId.empty() || progId.find('\\') != std::string::npos) {
        return false;
    }
    Key key(HKEY_CLASSES_ROOT, progId.c_str());
    if (!key) {
        return true;
    }
    Key clsid(key.get(), "CLSID");
    return clsid && _stricmp(Values(clsid.get())[0].data.c_str(), classId.c_str()) == 0;
}

// The families after the first five: the same keys and values, and one file test for each text the scan
// judges (the uninstaller of each software entry, its folder and icon only when that is missing).
class FurtherFamilies {
public:
    FurtherFamilies(std::string& out, const std::string& systemDir) : m_out(out), m_systemDir(systemDir) {}

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
                       Missing(Normalize(values[0].data, m_systemDir));
            });
            EachKey(root, base + "Uninstall", c, [&](const std::vector<Value>& values) {
                const Value* uninstaller = Named(values, "UninstallString");
                if (uninstaller == nullptr || Named(values, "WindowsInstaller") != nullptr ||
                    Named(values, "SystemComponent") != nullptr ||
                    Lower(uninstaller->data).find("msiexec") != std::string::npos ||
                    !Missing(Normalize(uninstaller->data, m_systemDir))) {
                    return false;
                }
                const Value* folder = Named(values, "InstallLocation");
                const Value* icon = Named(values, "DisplayIcon");
                return (folder == nullptr || Missing(Normalize(folder->data, m_systemDir))) &&
                       (icon == nullptr ||
                        Missing(Normalize(icon->data.substr(0, icon->data.rfind(',')), m_systemDir)));
            });
            for (const char* run : {"Run", "RunOnce"}) {
                Key key(root, (base + run).c_str());
                for (const Value& v : key ? Values(key.get()) : std::vector<Value>{}) {
                    if (!v.name.empty()) {
                        Judge(c, "Startup", Missing(Normalize(v.data, m_systemDir)), v);
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
                Judge(c, "MuiCache", Missing(v.name.substr(0, dot)), v);
            }
        }
        Key folders(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders");
        for (const Value& v : folders ? Values(folders.get()) : std::vector<Value>{}) {
            if (!v.name.empty()) {
                Judge(c, "InstallerFolder", Missing(v.name), v);
            }
        }
        return c;
    }

private:
    static const Value* Named(const std::vector<Value>& values, const char* name) {
        for (const Value& v : values) {
            if (_stricmp(v.name.c_str(), name) == 0 && v.hasData && !v.data.empty()) {
                return &v;
            }
        }
        return nullptr;
    }
    void Judge(Counts& c, const char* category, bool missing, const Value& v) {
        ++c.scanned;
        if (missing) {
            ++c.found;
            m_out += std::string(category) + '\t' + v.name + '\t' + v.data + '\n';
        }
    }
    template <class Broken> void EachKey(HKEY root, const std::string& path, Counts& c, Broken broken) {
        Key key(root, path.c_str());
        for (const std::string& sub : key ? SubKeys(key.get()) : std::vector<std::string>{}) {
            Key entry(key.get(), sub.c_str());
            if (entry) {
                const std::vector<Value> values = Values(entry.get());
                Judge(c, "Key", broken(values), values[0]);
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
                            Judge(c, "TypeLib", v.hasData && !file.empty() && Missing(file), v);
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
                    Judge(c, "Sound", v.hasData && !v.data.empty() && Missing(Normalize(v.data, m_systemDir)),
                          v);
                }
            }
        }
    }

    std::string& m_out;
    const std::string& m_systemDir;
};

class Baseline {
public:
    Baseline() {
        char dir[MAX_PATH] = {};
        GetSystemDirectoryA(dir, sizeof dir);
        m_systemDir = std::string(dir) + "\\";
        GetWindowsDirectoryA(dir, sizeof dir);
        m_fontsDir = std::string(dir) + "\\fonts\\";
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

    Counts ScanClasses() {
        Counts c;
        Key root(HKEY_CLASSES_ROOT, "CLSID");
        if (!root) {
            return c;
        }
        for (const auto& id : SubKeys(root.get())) {
            Key cls(root.get(), id.c_str());
            if (!cls) {
                continue;
            }
            std::vector<Value> missing;
            bool works = false;
            for (const auto& sub : SubKeys(cls.get())) {
                const std::string lower = Lower(sub);
                if (lower != "inprocserver32" && lower != "localserver32" && lower != "inprocserver" &&
                    lower != "localserver") {
                    continue;
                }
                Key server(cls.get(), sub.c_str());
                if (!server) {
                    continue;
                }
                const Value v = Values(server.get())[0];
                ++c.scanned;
                if (!v.hasData) {
                    continue;
                }
                if (Missing(Normalize(v.data, m_systemDir))) {
                    missing.push_back(v);
                } else {
                    works = true;
                }
            }
            if (missing.empty()) {
                continue;
            }
            Key progIdKey(cls.get(), "ProgID");
            const Value progId = progIdKey ? Values(progIdKey.get())[0] : Value{};
            for (const auto& v : missing) {
                c.scanned += progIdKey ? 1 : 0;
                if (works) {
                    continue;
                }
                Report("CLSID", "HKEY_CLASSES_ROOT\\CLSID\\" + id, &v);
                ++c.found;
                if (progId.hasData && ProgIdBelongsTo(progId.data, id)) {
                    Report("PROGID", "HKEY_CLASSES_ROOT\\" + progId.data, nullptr);
                    ++c.found;
                }
            }
        }
        return c;
    }

    Counts ScanValues(const char* keyPath, const char* category, bool pathInName, const std::string& base) {
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
            if (Missing(Normalize(text, base))) {
                Report(category, std::string("HKEY_LOCAL_MACHINE\\") + keyPath, &v);
                ++c.found;
            }
        }
        return c;
    }

    Counts ScanHelp() {
        Counts c;
        Key windows(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows");
        for (const auto& sub : windows ? SubKeys(windows.get()) : std::vector<std::string>{}) {
            const std::string lower = Lower(sub);
            if (lower != "help" && lower != "html help") {
                continue;
            }
            Key help(windows.get(), sub.c_str());
            for (const auto& v : help ? Values(help.get()) : std::vector<Value>{}) {
                ++c.scanned;
                if (!v.hasData) {
                    continue;
                }
                const std::string name = v.name.empty() ? "(Default)" : v.name;
                if (Missing(Normalize(v.data, m_systemDir) + name)) {
                    Report("Help", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\" + lower, &v);
                    ++c.found;
                }
            }
        }
        return c;
    }

    Counts ScanTools() {
        Counts c;
        const std::string rootPath = "SOFTWARE\\Microsoft\\Shared Tools";
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
                if (Missing(Normalize(v.data, m_systemDir))) {
                    Report("SharedTools", "HKEY_LOCAL_MACHINE\\" + rootPath + "\\" + sub, &v);
                    ++c.found;
                }
            }
        }
        return c;
    }

    std::string m_systemDir;
    std::string m_fontsDir;
    std::string m_out;
};

int Baseline::Run() {
    const Counts rows[] = {
        ScanClasses(),
        ScanHelp(),
        ScanTools(),
        ScanValues("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", "SharedFile", true,
                   m_systemDir),
        ScanValues("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "font", false, m_fontsDir),
        FurtherFamilies(m_out, m_systemDir).Scan(),
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
