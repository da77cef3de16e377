#include "cli/rights_notes.h"

#include "base/elevation.h"

namespace cli {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() > prefix.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                          prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

bool UserHasClassKey(const std::string& classPath, engine::RegistryApi& registry) {
    HKEY key = nullptr;
    const std::string path = "Software\\Classes\\" + classPath;
    if (registry.OpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    registry.CloseKey(key);
    return true;
}

} // namespace

int MachineWideFindings(const RegErrorLogList& findings, engine::RegistryApi& registry) {
    static const std::string kMachine = "HKEY_LOCAL_MACHINE\\";
    static const std::string kClasses = "HKEY_CLASSES_ROOT\\";
    int count = 0;
    for (const auto& finding : findings) {
        const std::string path = finding->GetKeyPath();
        if (StartsWith(path, kMachine) ||
            (StartsWith(path, kClasses) && !UserHasClassKey(path.substr(kClasses.size()), registry))) {
            ++count;
        }
    }
    return count;
}

std::string AdministratorNote(int machineWide, int total) {
    if (machineWide <= 0) {
        return {};
    }
    return "fix: not running as an administrator: " + std::to_string(machineWide) + " of the " +
           std::to_string(total) +
           " findings are machine-wide (HKEY_LOCAL_MACHINE) and can be removed only by an administrator; "
           "they will be reported as not removed";
}

std::string OtherAccountNote(const std::string& process, const std::string& session) {
    if (!base::IsOtherAccount(process, session)) {
        return {};
    }
    return "note: running as " + process + ", not as " + session +
           " who is logged on: HKEY_CURRENT_USER is " + process + "'s, so " + session +
           "'s own entries are not looked at";
}

} // namespace cli
