// The demo mix of the families after the first five: application paths, startup programs, software
// entries, type libraries, sound events, the MUI cache and installer folders. Machine-wide and per-user
// entries, the 32-bit view, quoted paths with arguments and variables; each family has entries that work,
// entries that are broken and entries its guards leave alone.
#include "demo_set.h"

#include <cstdio>

namespace seed {
namespace {

std::string Quote(const std::string& s) {
    return "\"" + s + "\"";
}

std::string TypeLibId(int unit, const char* group) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s0DE5-%s-8000-%012X}", kClassMarker, group, static_cast<unsigned>(unit));
    return buf;
}

} // namespace

void WriteFurtherFamilies(DemoWriter& w, const DemoLayout& l, int unit) {
    const std::string u = std::to_string(unit);
    const std::string bin = l.root + "\\bin\\";
    const std::string gone = l.root + "\\gone\\";
    const std::string envGone = l.envRoot + "\\gone\\";

    // Application paths: 3 findings.
    const std::string appPaths = std::string(kMachineVersion) + "App Paths\\";
    w.String(appPaths + "OrvalinDemoApp" + u + ".exe", nullptr, bin + "helper.exe");
    w.String(appPaths + "OrvalinDemoApp" + u + ".exe", "Path", l.root + "\\bin");
    w.String(appPaths + "OrvalinDemoGone" + u + ".exe", nullptr, Quote(gone + "app" + u + ".exe"));
    w.ExpandString(std::string(kMachineVersion32) + "App Paths\\OrvalinDemoOld" + u + ".exe", nullptr,
                   "%ProgramFiles%\\OrvalinDemo\\old" + u + ".exe");
    w.ExpandString(std::string(kUserVersion) + "App Paths\\OrvalinDemoUser" + u + ".exe", nullptr,
                   envGone + "user" + u + ".exe");
    w.String(appPaths + "OrvalinDemoTS" + u + ".exe", nullptr, gone + "ts" + u + ".exe");
    w.Dword(appPaths + "OrvalinDemoTS" + u + ".exe", "BlockOnTSNonInstallMode", 1);

    // Startup programs: 3 findings.
    const std::string run = std::string(kMachineVersion) + "Run";
    w.String(run, ("OrvalinDemo Tray " + u).c_str(), Quote(bin + "Demo Server.exe") + " /tray");
    w.String(run, ("OrvalinDemo Updater " + u).c_str(), Quote(gone + "update" + u + ".exe") + " /check");
    w.String(std::string(kMachineVersion32) + "Run", ("OrvalinDemo Agent " + u).c_str(),
             gone + "agent" + u + ".exe -silent");
    w.String(std::string(kUserVersion) + "Run", ("OrvalinDemo Hook " + u).c_str(),
             "rundll32.exe " + gone + "hook" + u + ".dll,Start");
    w.ExpandString(std::string(kUserVersion) + "RunOnce", ("OrvalinDemo Once " + u).c_str(),
                   l.envRoot + "\\bin\\helper.exe -once");

    // Software entries: 3 findings; an installer's product and a system component are never findings.
    const std::string uninstall = std::string(kMachineVersion) + "Uninstall\\OrvalinDemo ";
    w.String(uninstall + "App " + u, "DisplayName", "OrvalinDemo App");
    w.String(uninstall + "App " + u, "UninstallString", Quote(bin + "helper.exe") + " /uninstall");
    w.String(uninstall + "App " + u, "InstallLocation", l.root + "\\bin");
    w.String(uninstall + "Removed " + u, "DisplayName", "OrvalinDemo Removed");
    w.String(uninstall + "Removed " + u, "UninstallString", Quote(gone + "unins" + u + ".exe") + " /S");
    w.String(uninstall + "Removed " + u, "InstallLocation", gone + "removed" + u);
    w.String(uninstall + "Removed " + u, "DisplayIcon", gone + "removed" + u + ".exe,0");
    w.String(std::string(kMachineVersion32) + "Uninstall\\OrvalinDemo Legacy " + u, "UninstallString",
             gone + "legacy" + u + "\\uninst.exe");
    w.ExpandString(std::string(kUserVersion) + "Uninstall\\OrvalinDemo User " + u, "UninstallString",
                   Quote(envGone + "user" + u + "\\unins.exe") + " /user");
    w.String(uninstall + "Msi " + u, "UninstallString", "MsiExec.exe /X" + TypeLibId(unit, "5002"));
    w.Dword(uninstall + "Msi " + u, "WindowsInstaller", 1);
    w.String(uninstall + "Component " + u, "UninstallString", gone + "component" + u + ".exe");
    w.Dword(uninstall + "Component " + u, "SystemComponent", 1);

    // Type libraries: 2 findings, each a platform whose sibling keeps the library.
    const std::string machineLib = "Software\\Classes\\TypeLib\\" + TypeLibId(unit, "5000") + "\\1.0";
    w.String(machineLib, nullptr, "OrvalinDemo Library " + u);
    w.String(machineLib + "\\0\\win32", nullptr, gone + "lib" + u + ".tlb");
    w.String(machineLib + "\\0\\win64", nullptr, bin + "widget0.dll\\1");
    w.String(machineLib + "\\FLAGS", nullptr, "0");
    w.String(machineLib + "\\HELPDIR", nullptr, l.root + "\\help");
    const std::string userLib = "HKCU\\Software\\Classes\\TypeLib\\" + TypeLibId(unit, "5001") + "\\2.0";
    w.ExpandString(userLib + "\\409\\win64", nullptr, envGone + "user" + u + ".tlb");
    w.String(userLib + "\\409\\win32", nullptr, bin + "widget1.dll");

    // Sound events: 2 findings.
    const std::string sounds = "HKCU\\AppEvents\\Schemes\\Apps\\OrvalinDemo" + u + "\\";
    w.String(sounds + "Start\\.Current", nullptr, l.root + "\\media\\start.wav");
    w.String(sounds + "Error\\.Current", nullptr, gone + "error" + u + ".wav");
    w.String(sounds + "Notify\\.Current", nullptr, "");
    w.String(sounds + "Ding\\.Current", nullptr, "OrvalinDemoDing" + u + ".wav");

    // The MUI cache: 2 findings; resource strings are left alone.
    w.String(kMuiCache, (bin + "helper.exe.FriendlyAppName").c_str(), "OrvalinDemo Helper");
    w.String(kMuiCache, (gone + "app" + u + ".exe.FriendlyAppName").c_str(), "OrvalinDemo App");
    w.String(kMuiCache, (gone + "app" + u + ".exe.ApplicationCompany").c_str(), "OrvalinDemo");
    w.String(kMuiCache, ("@%SystemRoot%\\system32\\OrvalinDemo" + u + ".dll,-100").c_str(), "OrvalinDemo");

    // Installer folders: 1 finding.
    w.String(kInstallerFolders, (l.root + "\\bin\\").c_str(), "");
    w.String(kInstallerFolders, (gone + "folder" + u + "\\").c_str(), "");
}

void WriteFurtherCommonFiles(DemoWriter& w, const DemoLayout& l) {
    w.File(l.root + "\\media\\start.wav");
}

} // namespace seed
