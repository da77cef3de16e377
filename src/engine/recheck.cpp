// The fix's second judgement of each finding, from what the registry holds at that moment.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"

namespace {

const CRegValue* Named(const RegValueList& values, const std::string& name) {
    for (const auto& value : values) {
        if (_stricmp(value->m_strName.c_str(), name.c_str()) == 0) {
            return value.get();
        }
    }
    return nullptr;
}

} // namespace

engine::Verdict CRegistryLib::JudgeClass(HKEY classKey, bool thirtyTwoBit) {
    DWORD longestName = 0;
    if (m_registry.QueryInfoKey(classKey, nullptr, &longestName, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return engine::Verdict::CannotJudge;
    }
    bool anyMissing = false;
    engine::SubKeyReader children(m_registry, classKey, longestName);
    for (DWORD j = 0;; ++j) {
        const LONG rc = children.Read(j);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS) {
            return engine::Verdict::CannotJudge;
        }
        if (!engine::IsServerKey(children.Name())) {
            continue;
        }
        engine::KeyHandle serverKey(m_registry);
        RegValueList values;
        if (m_registry.OpenKey(classKey, children.Name(), serverKey.Receive()) != ERROR_SUCCESS ||
            AddRegistryValues(serverKey.Get(), values) != ERROR_SUCCESS) {
            return engine::Verdict::CannotJudge;
        }
        const CRegValue* server = Named(values, kDefaultValueName);
        if (server == nullptr || server->m_strData == kValueNotSet) {
            continue;
        }
        const engine::Verdict verdict =
            JudgeAs(engine::ServerReference(children.Name()), server->m_strData, thirtyTwoBit);
        if (verdict != engine::Verdict::Missing) {
            return verdict;
        }
        anyMissing = true;
    }
    return anyMissing && engine::KeyTextExact(m_registry, classKey, true) ? engine::Verdict::Missing
                                                                          : engine::Verdict::CannotJudge;
}

// An entry that is gone already counts as still broken: the fix then finds nothing to back up or delete and
// tells so as it always has.
bool CRegistryLib::StillBroken(const CRegErrorLog& finding, bool* classBroken) {
    const std::string& category = finding.GetCategory();
    if (_stricmp(category.c_str(), kCategoryProgID) == 0) {
        return *classBroken; // a ProgID goes only with the class it follows
    }
    std::string subKey = finding.GetKeyPath();
    const std::string root = SeperateMainKey(subKey);
    // An entry of the 32-bit view is judged as a 32-bit program reads it.
    const bool thirtyTwoBit = engine::ThirtyTwoBitKey(finding.GetKeyPath());
    engine::KeyHandle key(m_registry);
    const LONG opened = OpenKey(root, subKey, key.Receive());
    const bool isClass = _stricmp(category.c_str(), kCategoryCLSID) == 0;
    if (opened != ERROR_SUCCESS) {
        const bool gone = opened == ERROR_FILE_NOT_FOUND;
        if (isClass) {
            *classBroken = gone;
        }
        return gone;
    }
    if (isClass) {
        const bool broken = JudgeClass(key.Get(), thirtyTwoBit) == engine::Verdict::Missing;
        // Its ProgID goes with it only while no registration of the class id in the other view serves.
        const std::string className = subKey.substr(subKey.find_last_of('\\') + 1);
        *classBroken = broken && NoWorkingServerInOtherView(className.c_str(), thirtyTwoBit);
        return broken;
    }
    bool handled = false;
    const bool further = StillBrokenFurther(finding, key.Get(), &handled);
    if (handled) {
        return further;
    }
    const CRegValue* found = finding.GetValue();
    if (found == nullptr) {
        return false;
    }
    RegValueList values;
    if (AddRegistryValues(key.Get(), values) != ERROR_SUCCESS) {
        return false;
    }
    const CRegValue* now = Named(values, found->m_strName);
    if (now == nullptr) {
        return true;
    }
    const std::string rawName = found->m_strName == kDefaultValueName ? std::string() : found->m_strName;
    if (_stricmp(category.c_str(), kCategorySharedTools) == 0) {
        // The finding deletes the whole tool key.
        return now->m_strData != kValueNotSet && engine::KeyTextExact(m_registry, key.Get(), true) &&
               JudgeAs(engine::Reference::Path, now->m_strData, thirtyTwoBit) == engine::Verdict::Missing;
    }
    if (!engine::ValueTextExactNamed(m_registry, key.Get(), rawName)) {
        return false;
    }
    if (_stricmp(category.c_str(), kCategorySharedFile) == 0) {
        return JudgeAs(engine::Reference::Path, now->m_strName, thirtyTwoBit) == engine::Verdict::Missing;
    }
    if (now->m_strData == kValueNotSet) {
        return false;
    }
    if (_stricmp(category.c_str(), kCategoryHelp) == 0) {
        return rawName.size() > 0 && JudgeAs(engine::Reference::HelpFile, now->m_strData, thirtyTwoBit,
                                             now->m_strName) == engine::Verdict::Missing;
    }
    if (_stricmp(category.c_str(), kCategoryFont) == 0) {
        return Judge().Judge(engine::Reference::Font, now->m_strData) == engine::Verdict::Missing;
    }
    return false;
}
