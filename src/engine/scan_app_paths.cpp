// Application paths: each "App Paths\<name>" key whose default value names a program that is gone.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

namespace {

constexpr char kAppPathsKeys[][96] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
};

} // namespace

engine::Verdict CRegistryLib::JudgeAppPathKey(const std::string& keyPath, const RegValueList& values) {
    std::string program;
    // A key kept for terminal servers, or one without a program, is left alone.
    if (engine::FlagSet(engine::FindValue(values, "BlockOnTSNonInstallMode")) ||
        !engine::StringText(engine::FindValue(values, kDefaultValueName), &program)) {
        return engine::Verdict::CannotJudge;
    }
    return JudgeAs(engine::Reference::Path, program, engine::ThirtyTwoBitKey(keyPath));
}

void CRegistryLib::ScanRegistryAppPaths(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::vector<std::string> seen;
    for (const char* keyPath : kAppPathsKeys) {
        if (engine::SeenBefore(*this, keyPath, seen)) {
            continue; // the 32-bit view's name of a key both views share
        }
        ScanKeyEntries(keyPath, kCategoryAppPath, "Scanning Application Paths", kDefaultValueName,
                       &CRegistryLib::JudgeAppPathKey, counts);
    }
    AppendRow(errors, kDescriptionAppPaths, counts);
}
