// The two families that walk the subkeys of one key and read each subkey's values: help files and shared
// tools. Both keys are redirected for 32-bit programs, so the 32-bit view's copy (below WOW6432Node) is
// walked too, its paths read as a 32-bit program reads them; a key both views share is walked once.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"

#include <algorithm>
#include <cstring>

namespace {

// Walks the subkeys of `keyPath`; reads the values of each subkey that `accept` takes and hands every record
// to `examine`, with whether every text of the subkey is exact (`subtree`: below it too). The stop event is
// tested before each subkey and before each record. Returns false when the family ends without a row (the
// key's RegQueryInfoKeyA failed); a key that cannot be opened gives a row. A subkey whose real name is in
// `seen` (a key both registry views share, walked already) is passed over; the others join it.
template <class Accept, class Examine>
bool WalkSubKeyValues(CRegistryLib& lib, StopPoller& stop, const char* keyPath, bool subtree, Accept accept,
                      Examine examine, std::vector<std::string>& seen) {
    engine::RegistryApi& registry = lib.Registry();
    std::string subKey = keyPath;
    const std::string root = CRegistryLib::SeperateMainKey(subKey);
    engine::KeyHandle parent(registry);
    if (lib.OpenKey(root, subKey, parent.Receive()) != ERROR_SUCCESS) {
        return true;
    }
    DWORD longestName = 0;
    if (registry.QueryInfoKey(parent.Get(), nullptr, &longestName, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    engine::SubKeyReader names(registry, parent.Get(), longestName);
    for (DWORD i = 0; !stop(); ++i) {
        if (names.Read(i) != ERROR_SUCCESS) {
            break;
        }
        if (names.Length() == 0 || !accept(names.Name())) {
            continue;
        }
        engine::KeyHandle child(registry);
        if (registry.OpenKey(parent.Get(), names.Name(), child.Receive()) != ERROR_SUCCESS) {
            continue;
        }
        const std::string realName = registry.KeyObjectName(child.Get());
        if (!realName.empty()) {
            if (std::find(seen.begin(), seen.end(), realName) != seen.end()) {
                continue;
            }
            seen.push_back(realName);
        }
        RegValueList values;
        lib.AddRegistryValues(child.Get(), values);
        const bool exact = engine::KeyTextExact(registry, child.Get(), subtree);
        for (auto& record : values) {
            if (stop()) {
                break; // the records left are released with the list
            }
            examine(names.Name(), exact, std::move(record));
        }
    }
    return true;
}

// The name with leading and trailing white space removed, in lower case, equals `word` (lower case).
bool TrimmedEqualsLower(const std::string& name, const char* word) {
    static constexpr char kSpace[] = " \t\r\n\v\f";
    const size_t begin = name.find_first_not_of(kSpace);
    if (begin == std::string::npos) {
        return *word == '\0';
    }
    const size_t end = name.find_last_not_of(kSpace);
    const size_t length = end - begin + 1;
    return length == std::strlen(word) && _strnicmp(name.c_str() + begin, word, length) == 0;
}

constexpr const char* kWindowsKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows",
};
constexpr const char* kSharedToolsKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Shared Tools",
};

} // namespace

void CRegistryLib::ScanRegistryHelp(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::vector<std::string> seen;
    for (const char* windowsKey : kWindowsKeys) {
        const bool thirtyTwoBit = engine::ThirtyTwoBitKey(windowsKey);
        const auto isHelpKey = [](const char* name) {
            return _stricmp(name, "help") == 0 || _stricmp(name, "html help") == 0;
        };
        // The value's data is the folder, its name the file. The unnamed value names no file (and could never
        // be deleted).
        const auto examine = [&](const char* helpKey, bool exact, std::unique_ptr<CRegValue> record) {
            ++counts.scanned;
            if (!exact || record->m_strData == kValueNotSet || record->m_strName == kDefaultValueName) {
                return;
            }
            const std::string& path = record->m_strData;
            if (JudgeAs(engine::Reference::HelpFile, path, thirtyTwoBit, record->m_strName) ==
                engine::Verdict::Missing) {
                const char* lowerName = _stricmp(helpKey, "help") == 0 ? "help" : "html help";
                if (AddFinding(kCategoryHelp, kKindValue, std::string(windowsKey) + "\\" + lowerName,
                               std::move(record))) {
                    ++counts.found;
                }
            }
            Progress(Judge().TestedPath(), "Scanning Help Files", counts);
        };
        if (!WalkSubKeyValues(*this, m_stop, windowsKey, false, isHelpKey, examine, seen)) {
            return;
        }
    }
    AppendRow(errors, kDescriptionHelp, counts);
}

void CRegistryLib::ScanRegistrySharedTools(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::vector<std::string> seen;
    for (const char* toolsKey : kSharedToolsKeys) {
        const bool thirtyTwoBit = engine::ThirtyTwoBitKey(toolsKey);
        // Every record of a tool key counts; only its "path" value names the tool's file.
        // The finding deletes the whole tool key: every text below it must be exact.
        const auto examine = [&](const char* toolKey, bool exact, std::unique_ptr<CRegValue> record) {
            ++counts.scanned;
            if (!exact || !TrimmedEqualsLower(record->m_strName, "path") ||
                record->m_strData == kValueNotSet) {
                return;
            }
            const std::string& path = record->m_strData;
            if (JudgeAs(engine::Reference::Path, path, thirtyTwoBit) == engine::Verdict::Missing) {
                if (AddFinding(kCategorySharedTools, kKindKey, std::string(toolsKey) + "\\" + toolKey,
                               std::move(record))) {
                    ++counts.found;
                }
            }
            Progress(Judge().TestedPath(), "Scanning Shared Tools", counts);
        };
        const auto everyTool = [](const char*) { return true; };
        if (!WalkSubKeyValues(*this, m_stop, toolsKey, true, everyTool, examine, seen)) {
            return;
        }
    }
    AppendRow(errors, kDescriptionSharedTools, counts);
}
