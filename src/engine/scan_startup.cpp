// Startup programs: each value of the Run and RunOnce keys whose command line names a program that is gone.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

namespace {

constexpr char kStartupKeys[][96] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
};

} // namespace

engine::Verdict CRegistryLib::JudgeStartupValue(const std::string& keyPath, const CRegValue& value) {
    std::string line;
    // The unnamed value starts nothing (and could not be removed by its name).
    if (value.m_strName == kDefaultValueName || !engine::StringText(&value, &line)) {
        return engine::Verdict::CannotJudge;
    }
    return JudgeAs(engine::Reference::CommandLine, line, engine::ThirtyTwoBitKey(keyPath));
}

void CRegistryLib::ScanRegistryStartup(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::vector<std::string> seen;
    for (const char* keyPath : kStartupKeys) {
        if (engine::SeenBefore(*this, keyPath, seen)) {
            continue; // the 32-bit view's name of a key both views share
        }
        ScanValueEntries(keyPath, kCategoryStartup, "Scanning Startup Programs",
                         &CRegistryLib::JudgeStartupValue, counts);
    }
    AppendRow(errors, kDescriptionStartup, counts);
}
