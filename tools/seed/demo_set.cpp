#include "demo_set.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace seed {
namespace {

const std::string kClasses = "Software\\Classes\\";
const std::string kClsid = "Software\\Classes\\CLSID\\";
const std::string kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
const std::string kHtmlHelp = "SOFTWARE\\Microsoft\\Windows\\HTML Help";
const std::string kFonts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const std::string kTools = "SOFTWARE\\Microsoft\\Shared Tools";
const std::string kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
// The 32-bit view's copies of the redirected keys (the Fonts key is shared by both views).
const std::string kClsid32 = "Software\\Classes\\Wow6432Node\\CLSID\\";
const std::string kHelp32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\Help";
const std::string kTools32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Shared Tools";
const std::string kSharedDlls32 = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

constexpr int kClassesPerUnit = 40;
constexpr int kWidgetFiles = 8;

std::string ClassId(int unit, int index, const char* group = "4000") {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s0DE5-%s-8000-%012X}", kClassMarker, group,
                  static_cast<unsigned>(unit * 100 + index));
    return buf;
}

std::string Quote(const std::string& s) {
    return "\"" + s + "\"";
}

// A class with one server key; an empty progId writes no ProgID value.
struct ClassEntry {
    DemoWriter& w;
    std::string id;
    const std::string& clsid = kClsid; // the 32-bit view's kClsid32 for a 32-bit class
    std::string Key() const { return clsid + id; }

    ClassEntry& Name(const std::string& name) {
        w.String(Key(), nullptr, name);
        return *this;
    }
    ClassEntry& Server(const char* subKey, const std::string& file, const char* threading = nullptr) {
        w.String(Key() + "\\" + subKey, nullptr, file);
        if (threading != nullptr) {
            w.String(Key() + "\\" + subKey, "ThreadingModel", threading);
        }
        return *this;
    }
    ClassEntry& ProgId(const std::string& progId) {
        w.String(Key() + "\\ProgID", nullptr, progId);
        return *this;
    }
};

// A ProgID key whose CLSID subkey names `classId`.
void WriteProgIdKey(DemoWriter& w, const std::string& progId, const std::string& classId) {
    w.String(kClasses + progId, nullptr, progId + " object");
    w.String(kClasses + progId + "\\CLSID", nullptr, classId);
}

void WriteClasses(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string bin = l.root + "\\bin\\";
    const std::string gone = l.root + "\\gone\\";
    const std::string widget = bin + "widget" + std::to_string(unit % kWidgetFiles) + ".dll";
    auto cls = [&](int index) { return ClassEntry{w, ClassId(unit, index)}; };

    // Working classes, in the forms real registrations use.
    cls(0)
        .Name("OrvalinDemo Widget " + u)
        .Server("InprocServer32", widget, "Apartment")
        .ProgId("OrvalinDemo.Widget." + u);
    WriteProgIdKey(w, "OrvalinDemo.Widget." + u, ClassId(unit, 0));
    cls(1)
        .Name("OrvalinDemo environment path")
        .Server("InprocServer32", l.envRoot + "\\bin\\widget.dll", "Both");
    cls(2)
        .Name("OrvalinDemo automation server")
        .Server("LocalServer32", Quote(bin + "Demo Server.exe") + " /automation")
        .ProgId("OrvalinDemo.Server." + u);
    WriteProgIdKey(w, "OrvalinDemo.Server." + u, ClassId(unit, 2));
    cls(3).Name("OrvalinDemo embedding server").Server("LocalServer32", bin + "helper.exe -Embedding");
    cls(4).Name("OrvalinDemo bare system file").Server("InprocServer32", "oleaut32.dll", "Both");
    cls(5)
        .Name("OrvalinDemo system root")
        .Server("InprocServer32", "%SystemRoot%\\System32\\ole32.dll", "Both");
    // A 16-bit server that is gone beside a 32-bit one that works: the class still works.
    cls(6)
        .Name("OrvalinDemo mixed servers")
        .Server("InprocServer", "orvalindemo16.dll")
        .Server("InprocServer32", widget);
    cls(7).Name("OrvalinDemo odd spelling").Server("InProcServer32", widget, "Apartment");
    // A server key without a default value, and one whose default value is empty.
    w.String(cls(8).Name("OrvalinDemo no server value").Key() + "\\InprocServer32", "ThreadingModel", "Both");
    cls(9).Name("OrvalinDemo empty server value").Server("InprocServer32", "");
    // A handler is not a server: its missing file does not matter.
    cls(10)
        .Name("OrvalinDemo handler")
        .Server("InprocHandler32", gone + "handler" + u + ".dll")
        .Server("InprocServer32", "ole32.dll");
    cls(11).Name("OrvalinDemo class without servers");

    // Broken classes.
    cls(12)
        .Name("OrvalinDemo removed widget")
        .Server("InprocServer32", gone + "widget" + u + ".dll", "Apartment")
        .ProgId("OrvalinDemo.Gone." + u);
    WriteProgIdKey(w, "OrvalinDemo.Gone." + u, ClassId(unit, 12));
    cls(13)
        .Name("OrvalinDemo removed server")
        .Server("LocalServer32", Quote(gone + "Old Server " + u + ".exe") + " /automation");
    // A ProgID value whose key was already removed.
    cls(14)
        .Name("OrvalinDemo dangling ProgID")
        .Server("InprocServer32", "%SystemRoot%\\System32\\orvalindemo_gone" + u + ".dll")
        .ProgId("OrvalinDemo.Dangling." + u);
    // Two servers, both gone.
    cls(15)
        .Name("OrvalinDemo two lost servers")
        .Server("InprocServer32", "orvalindemo_lost" + u + ".dll")
        .Server("LocalServer32", gone + "lost" + u + ".exe -Embedding")
        .ProgId("OrvalinDemo.Lost." + u);
    WriteProgIdKey(w, "OrvalinDemo.Lost." + u, ClassId(unit, 15));
    // A ProgID value naming another (working) class's ProgID: only the class itself may go.
    cls(16)
        .Name("OrvalinDemo borrowed ProgID")
        .Server("InprocServer32", gone + "mismatch" + u + ".dll")
        .ProgId("OrvalinDemo.Widget." + u);
    // Not a finding: a variable left unexpanded names no file that can be tested.
    cls(17)
        .Name("OrvalinDemo undefined variable")
        .Server("InprocServer32", "%OrvalinDemoUndefined%\\demo" + u + ".dll");

    // Ordinary working classes make up the bulk, as in a real registry.
    for (int i = 18; i < kClassesPerUnit; ++i) {
        const std::string file = (i == 19 ? "c:\\orvalindemo\\BIN\\Widget0.DLL"
                                          : bin + "widget" + std::to_string(i % kWidgetFiles) + ".dll");
        auto entry =
            cls(i).Name("OrvalinDemo part " + std::to_string(i)).Server("InprocServer32", file, "Both");
        if (i % 2 == 0) {
            const std::string progId = "OrvalinDemo.Part" + std::to_string(i) + "." + u;
            entry.ProgId(progId);
            WriteProgIdKey(w, progId, ClassId(unit, i));
        }
    }
}

void WriteHelp(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string help = l.root + "\\help";
    w.String(kHelp, ("OrvalinDemo" + u + ".hlp").c_str(), help + "\\");
    w.String(kHelp, ("OrvalinDemoEnv" + u + ".hlp").c_str(), l.envRoot + "\\help\\");
    // The folder lacks its trailing backslash: joined with one, it names the existing file.
    w.String(kHelp, ("OrvalinDemoNoSlash" + u + ".hlp").c_str(), help);
    w.String(kHelp, ("OrvalinDemoGone" + u + ".hlp").c_str(), help + "\\");
    w.String(kHtmlHelp, ("OrvalinDemo" + u + ".chm").c_str(), help + "\\");
    // A relative folder cannot be judged.
    w.String(kHtmlHelp, ("OrvalinDemoBare" + u + ".chm").c_str(), "help");
    for (const char* name : {"OrvalinDemo", "OrvalinDemoEnv", "OrvalinDemoNoSlash"}) {
        w.File(help + "\\" + name + u + ".hlp");
    }
    w.File(help + "\\OrvalinDemo" + u + ".chm");
}

void WriteFonts(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string fonts = l.root + "\\fonts\\";
    w.String(kFonts, ("OrvalinDemo Sans " + u + " (TrueType)").c_str(),
             fonts + "OrvalinDemoSans" + u + ".ttf");
    w.String(kFonts, ("OrvalinDemo Serif " + u + " (TrueType)").c_str(), "OrvalinDemoSerif.ttf");
    w.String(kFonts, ("OrvalinDemo Mono " + u + " (TrueType)").c_str(), "OrvalinDemoMono" + u + ".ttf");
    w.String(kFonts, ("OrvalinDemo Old " + u + " (TrueType)").c_str(), fonts + "OrvalinDemoOld" + u + ".ttf");
    w.File(fonts + "OrvalinDemoSans" + u + ".ttf");
}

void WriteTools(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string tool = kTools + "\\OrvalinDemo ";
    w.String(tool + "Tool " + u, "Path", l.root + "\\bin\\helper.exe");
    w.String(tool + "Tool " + u, "Version", "1.0");
    w.String(tool + "Env " + u, "Path", l.envRoot + "\\bin\\widget.dll");
    w.String(tool + "Spell " + u, " PATH ", l.root + "\\gone\\spell" + u + ".dll");
    w.String(tool + "Bare " + u, "Path", "orvalindemo_tool" + u + ".dll");
    w.String(tool + "Info " + u, "Version", "2.0");
}

void WriteSharedDlls(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string shared = l.root + "\\shared\\";
    const std::string lib = shared + "OrvalinDemoLib" + u + ".dll";
    w.Dword(kSharedDlls, lib.c_str(), 1);
    w.Dword(kSharedDlls, Quote(lib).c_str(), 1);
    w.Dword(kSharedDlls, (shared + "OrvalinDemoGone" + u + ".dll").c_str(), 2);
    w.Dword(kSharedDlls, ("OrvalinDemoBare" + u + ".dll").c_str(), 1);
    w.File(lib);
}

// What 32-bit programs registered: entries of the redirected keys' 32-bit view, whose paths name files as a
// 32-bit program sees them (System32 is its SysWOW64).
void WriteThirtyTwoBit(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string gone = l.root + "\\gone\\";
    auto cls = [&](int index) { return ClassEntry{w, ClassId(unit, index, "4002"), kClsid32}; };
    // Working: a system file that a 32-bit program finds in SysWOW64, and a demo file.
    cls(0)
        .Name("OrvalinDemo 32-bit system file")
        .Server("InprocServer32", "%SystemRoot%\\System32\\ole32.dll");
    cls(1).Name("OrvalinDemo 32-bit widget").Server("InprocServer32", l.root + "\\bin\\widget1.dll", "Both");
    // Broken: a removed 32-bit widget with its ProgID, and a system file that is in neither folder.
    cls(2)
        .Name("OrvalinDemo removed 32-bit widget")
        .Server("InprocServer32", gone + "widget32_" + u + ".dll", "Apartment")
        .ProgId("OrvalinDemo.Gone32." + u);
    WriteProgIdKey(w, "OrvalinDemo.Gone32." + u, ClassId(unit, 2, "4002"));
    cls(3)
        .Name("OrvalinDemo removed 32-bit system file")
        .Server("InprocServer32", "C:\\Windows\\System32\\orvalindemo32_" + u + ".dll");
    w.String(kHelp32, ("OrvalinDemo" + u + ".hlp").c_str(), l.root + "\\help\\");
    w.String(kHelp32, ("OrvalinDemoGone32_" + u + ".hlp").c_str(), l.root + "\\help\\");
    w.String(kTools32 + "\\OrvalinDemo Tool32 " + u, "Path", l.root + "\\bin\\helper.exe");
    w.String(kTools32 + "\\OrvalinDemo Gone32 " + u, "Path", gone + "tool32_" + u + ".exe");
    w.Dword(kSharedDlls32, (l.root + "\\shared\\OrvalinDemoLib" + u + ".dll").c_str(), 1);
    w.Dword(kSharedDlls32, (gone + "OrvalinDemoGone32_" + u + ".dll").c_str(), 1);
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    return _strnicmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool ContainsNoCase(std::string text, std::string part) {
    for (auto* s : {&text, &part}) {
        for (char& c : *s) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return text.find(part) != std::string::npos;
}

// Names of the subkeys (or values) of HKLM\keyPath that `match` selects; collected before anything is
// deleted.
std::vector<std::string> Collect(const std::string& keyPath, bool values,
                                 const std::function<bool(const std::string&)>& match) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    std::string below;
    const HKEY root = RootOf(keyPath, &below);
    if (RegOpenKeyExA(root, below.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    std::vector<char> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(name.size());
        const LONG rc = values ? RegEnumValueA(key, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr)
                               : RegEnumKeyExA(key, i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc == ERROR_SUCCESS && match(std::string(name.data(), len))) {
            names.emplace_back(name.data(), len);
        }
    }
    RegCloseKey(key);
    return names;
}

int RemoveKeys(const std::string& parent, const std::function<bool(const std::string&)>& match) {
    int failures = 0;
    for (const auto& name : Collect(parent, false, match)) {
        std::string path;
        const HKEY root = RootOf(parent + "\\" + name, &path);
        failures += RegDeleteTreeA(root, path.c_str()) == ERROR_SUCCESS ? 0 : 1;
    }
    return failures;
}

int RemoveValues(const std::string& keyPath, const std::function<bool(const std::string&)>& match) {
    const auto names = Collect(keyPath, true, match);
    HKEY key = nullptr;
    std::string below;
    const HKEY root = RootOf(keyPath, &below);
    if (names.empty() || RegOpenKeyExA(root, below.c_str(), 0, KEY_SET_VALUE, &key) != 0) {
        return 0;
    }
    int failures = 0;
    for (const auto& name : names) {
        failures += RegDeleteValueA(key, name.c_str()) == ERROR_SUCCESS ? 0 : 1;
    }
    RegCloseKey(key);
    return failures;
}

int RemoveTree(const std::string& folder) {
    int failures = 0;
    WIN32_FIND_DATAA found{};
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = folder + "\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                failures += RemoveTree(path);
            } else if (!DeleteFileA(path.c_str())) {
                ++failures;
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    if (!RemoveDirectoryA(folder.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND) {
        ++failures;
    }
    return failures;
}

} // namespace

DemoLayout DefaultLayout() {
    char drive[MAX_PATH] = "C:";
    GetEnvironmentVariableA("SystemDrive", drive, sizeof drive);
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return {std::string(drive) + "\\" + kNameMarker, std::string("%SystemDrive%\\") + kNameMarker,
            std::string(windows) + "\\Fonts"};
}

UnitCounts CountsPerUnit() {
    // Findings: classes 12, 13, 14, 15, 16 give 2 + 1 + 1 + 4 + 1 (14's ProgID has no key); help 1; fonts 2;
    // tools 2; shared 2; the 32-bit view's classes 2 + 1, help 1, tools 1, shared 1; then application paths
    // 3, startup 3, software 3, type libraries 2, sounds 2, MUI cache 2, installer folders 1.
    return {kClassesPerUnit + 4,
            6 + 2,
            4,
            5 + 2,
            4 + 2,
            30,
            9 + 1 + 2 + 2 + 2 + 3 + 1 + 1 + 1 + 3 + 3 + 3 + 2 + 2 + 2 + 1};
}

void WriteCommonFiles(DemoWriter& w, const DemoLayout& l) {
    for (int i = 0; i < kWidgetFiles; ++i) {
        w.File(l.root + "\\bin\\widget" + std::to_string(i) + ".dll");
    }
    w.File(l.root + "\\bin\\widget.dll");
    w.File(l.root + "\\bin\\Demo Server.exe");
    w.File(l.root + "\\bin\\helper.exe");
    w.File(l.fonts + "\\OrvalinDemoSerif.ttf");
    WriteFurtherCommonFiles(w, l);
}

void WriteUnit(DemoWriter& w, const DemoLayout& layout, int unit) {
    WriteClasses(w, layout, unit);
    WriteHelp(w, layout, unit);
    WriteFonts(w, layout, unit);
    WriteTools(w, layout, unit);
    WriteSharedDlls(w, layout, unit);
    WriteThirtyTwoBit(w, layout, unit);
    WriteFurtherFamilies(w, layout, unit);
}

void WriteExtraClass(DemoWriter& w, const DemoLayout& l, int index) {
    ClassEntry{w, ClassId(0, index, "4001")}
        .Name("OrvalinDemo extra class " + std::to_string(index))
        .Server("InprocServer32", l.root + "\\bin\\widget" + std::to_string(index % kWidgetFiles) + ".dll",
                "Both");
}

int RemoveDemoData(const DemoLayout& layout) {
    const auto classMarked = [](const std::string& name) { return StartsWithNoCase(name, kClassMarker); };
    const auto nameMarked = [](const std::string& name) { return StartsWithNoCase(name, kNameMarker); };
    const auto mentionsMarker = [](const std::string& name) { return ContainsNoCase(name, kNameMarker); };
    int failures = RemoveKeys("Software\\Classes\\CLSID", classMarked);
    failures += RemoveKeys("Software\\Classes", nameMarked);
    failures += RemoveValues(kHelp, nameMarked);
    failures += RemoveValues(kHtmlHelp, nameMarked);
    failures += RemoveValues(kFonts, nameMarked);
    failures += RemoveKeys(kTools, nameMarked);
    failures += RemoveValues(kSharedDlls, mentionsMarker);
    failures += RemoveKeys(kClsid32.substr(0, kClsid32.size() - 1), classMarked);
    failures += RemoveValues(kHelp32, nameMarked);
    failures += RemoveKeys(kTools32, nameMarked);
    failures += RemoveValues(kSharedDlls32, mentionsMarker);
    for (const std::string version : {kMachineVersion, kMachineVersion32, kUserVersion}) {
        failures += RemoveKeys(version + "App Paths", nameMarked);
        failures += RemoveKeys(version + "Uninstall", nameMarked);
        failures += RemoveValues(version + "Run", nameMarked);
        failures += RemoveValues(version + "RunOnce", nameMarked);
    }
    failures += RemoveKeys("Software\\Classes\\TypeLib", classMarked);
    failures += RemoveKeys("HKCU\\Software\\Classes\\TypeLib", classMarked);
    failures += RemoveKeys("HKCU\\AppEvents\\Schemes\\Apps", nameMarked);
    failures += RemoveValues(kMuiCache, mentionsMarker);
    failures += RemoveValues(kInstallerFolders, mentionsMarker);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDemoKey);
    failures += RemoveTree(layout.root);
    DeleteFileA((layout.fonts + "\\OrvalinDemoSerif.ttf").c_str());
    return failures;
}

} // namespace seed
