// Obsolete software entries: an "Uninstall\<key>" whose uninstaller, install folder and icon are all gone.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

#include <cctype>

namespace {

constexpr char kUninstallKeys[][96] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

bool MentionsMsiexec(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower.find("msiexec") != std::string::npos;
}

} // namespace

engine::Verdict CRegistryLib::JudgeSoftwareKey(const std::string& keyPath, const RegValueList& values) {
    using engine::Verdict;
    std::string uninstaller;
    // Windows Installer's products and the system's own components are never leftovers of ours to judge.
    if (engine::FlagSet(engine::FindValue(values, "WindowsInstaller")) ||
        engine::FlagSet(engine::FindValue(values, "SystemComponent")) ||
        !engine::StringText(engine::FindValue(values, "UninstallString"), &uninstaller) ||
        MentionsMsiexec(uninstaller)) {
        return Verdict::CannotJudge;
    }
    const bool thirtyTwoBit = engine::ThirtyTwoBitKey(keyPath);
    if (JudgeAs(engine::Reference::CommandLine, uninstaller, thirtyTwoBit) != Verdict::Missing) {
        return Verdict::CannotJudge;
    }
    std::string folder;
    if (engine::StringText(engine::FindValue(values, "InstallLocation"), &folder) &&
        JudgeAs(engine::Reference::Path, folder, thirtyTwoBit) != Verdict::Missing) {
        return Verdict::CannotJudge;
    }
    std::string icon;
    if (engine::StringText(engine::FindValue(values, "DisplayIcon"), &icon)) {
        // "file,index": the icon's file.
        const auto judge = [&](const std::string& text) {
            return JudgeAs(engine::Reference::Path, text, thirtyTwoBit);
        };
        if (engine::JudgeIndexed(judge, icon, ',') != Verdict::Missing) {
            return Verdict::CannotJudge;
        }
    }
    return Verdict::Missing;
}

void CRegistryLib::ScanRegistrySoftware(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::vector<std::string> seen;
    for (const char* keyPath : kUninstallKeys) {
        if (engine::SeenBefore(*this, keyPath, seen)) {
            continue; // the 32-bit view's name of a key both views share
        }
        ScanKeyEntries(keyPath, kCategorySoftware, "Scanning Software Entries", "UninstallString",
                       &CRegistryLib::JudgeSoftwareKey, counts);
    }
    AppendRow(errors, kDescriptionSoftware, counts);
}
