// What the families after the first five share: the walks of their keys and values, the 32-bit reading of
// their texts, and the fix's second judgement of their findings.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"
#include "engine/wow64_path.h"

#include <cctype>
#include <cstring>

namespace engine {

const CRegValue* FindValue(const RegValueList& values, const char* name) {
    for (const auto& value : values) {
        if (_stricmp(value->m_strName.c_str(), name) == 0) {
            return value.get();
        }
    }
    return nullptr;
}

bool StringText(const CRegValue* value, std::string* text) {
    if (value == nullptr || (value->m_dwType != REG_SZ && value->m_dwType != REG_EXPAND_SZ) ||
        value->m_strData.empty() || value->m_strData == kValueNotSet) {
        return false;
    }
    *text = value->m_strData;
    return true;
}

bool FlagSet(const CRegValue* value) {
    if (value == nullptr || value->m_strData == kValueNotSet) {
        return false;
    }
    if (value->m_dwType == REG_DWORD && value->m_bHasRaw && value->m_raw.size() == 4) {
        return value->m_raw[0] != 0 || value->m_raw[1] != 0 || value->m_raw[2] != 0 || value->m_raw[3] != 0;
    }
    return value->m_strData != "0";
}

bool ThirtyTwoBitKey(const std::string& keyPath) {
    std::string upper = keyPath;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper.find("\\WOW6432NODE\\") != std::string::npos;
}

std::string WithoutIndex(const std::string& text, char separator) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    size_t digits = end;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1])) != 0) {
        --digits;
    }
    if (digits == end) {
        return std::string();
    }
    if (digits > 0 && text[digits - 1] == '-') {
        --digits;
    }
    if (digits == 0 || text[digits - 1] != separator) {
        return std::string();
    }
    std::string path = text.substr(0, digits - 1);
    while (!path.empty() && path.back() == ' ') {
        path.pop_back();
    }
    return path;
}

bool SeenBefore(CRegistryLib& lib, const std::string& keyPath, std::vector<std::string>& seen) {
    std::string subKey = keyPath;
    const std::string root = CRegistryLib::SeperateMainKey(subKey);
    KeyHandle key(lib.Registry());
    if (lib.OpenKey(root, subKey, key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    const std::string name = lib.Registry().KeyObjectName(key.Get());
    if (name.empty()) {
        return false;
    }
    for (const std::string& earlier : seen) {
        if (earlier == name) {
            return true;
        }
    }
    seen.push_back(name);
    return false;
}

} // namespace engine

engine::Verdict CRegistryLib::JudgeAs(engine::Reference kind, const std::string& text, bool thirtyTwoBit,
                                      const std::string& fileName) {
    if (!thirtyTwoBit) {
        return Judge().Judge(kind, text, fileName);
    }
    const std::string reading = engine::ThirtyTwoBitReading(text, m_strWindowsDir, m_strWow64Dir);
    const engine::Verdict verdict = Judge().Judge(kind, reading, fileName);
    // A bare name was placed in SysWOW64; the programs search further (the Windows folder, PATH), so it is
    // missing only when that search fails too.
    if (verdict == engine::Verdict::Missing && reading != text && text.find('\\') == std::string::npos &&
        text.find('%') == std::string::npos) {
        return Judge().Judge(kind, text, fileName);
    }
    return verdict;
}

void CRegistryLib::ScanKeyEntries(
    const std::string& keyPath, const char* category, const char* status, const char* shown,
    engine::Verdict (CRegistryLib::*judge)(const std::string&, const RegValueList&), Counts& counts) {
    std::string subKey = keyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle parent(m_registry);
    DWORD longestName = 0;
    if (OpenKey(root, subKey, parent.Receive()) != ERROR_SUCCESS ||
        m_registry.QueryInfoKey(parent.Get(), nullptr, &longestName, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
        return;
    }
    engine::SubKeyReader names(m_registry, parent.Get(), longestName);
    for (DWORD i = 0; !m_stop(); ++i) {
        if (names.Read(i) != ERROR_SUCCESS) {
            break;
        }
        if (names.Length() == 0) {
            continue;
        }
        ++counts.scanned;
        engine::KeyHandle child(m_registry);
        RegValueList values;
        // The finding removes the whole key: every text in it must be exact.
        if (m_registry.OpenKey(parent.Get(), names.Name(), child.Receive()) != ERROR_SUCCESS ||
            AddRegistryValues(child.Get(), values) != ERROR_SUCCESS ||
            !engine::KeyTextExact(m_registry, child.Get(), true)) {
            continue;
        }
        const std::string entryPath = keyPath + "\\" + names.Name();
        if ((this->*judge)(entryPath, values) == engine::Verdict::Missing) {
            const CRegValue* record = engine::FindValue(values, shown);
            if (AddFinding(category, kKindKey, entryPath,
                           record != nullptr ? std::make_unique<CRegValue>(*record) : nullptr)) {
                ++counts.found;
            }
        }
        Progress(Judge().TestedPath(), status, counts);
    }
}

void CRegistryLib::ScanValueEntries(const std::string& keyPath, const char* category, const char* status,
                                    engine::Verdict (CRegistryLib::*judge)(const std::string&,
                                                                           const CRegValue&),
                                    Counts& counts) {
    std::string subKey = keyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle key(m_registry);
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (OpenKey(root, subKey, key.Receive()) != ERROR_SUCCESS ||
        m_registry.QueryInfoKey(key.Get(), nullptr, nullptr, &count, &longestName, &longestData) !=
            ERROR_SUCCESS) {
        return;
    }
    PrepareValueBuffers(longestName, longestData);
    for (DWORD i = 0; i < count; ++i) {
        if (m_stop()) {
            return;
        }
        std::unique_ptr<CRegValue> record;
        if (ReadValue(key.Get(), i, record) != ERROR_SUCCESS) {
            continue;
        }
        ++counts.scanned;
        if (!engine::ValueTextExactAt(m_registry, key.Get(), i)) {
            continue;
        }
        if ((this->*judge)(keyPath, *record) == engine::Verdict::Missing &&
            AddFinding(category, kKindValue, keyPath, std::move(record))) {
            ++counts.found;
        }
        Progress(Judge().TestedPath(), status, counts);
    }
}

bool CRegistryLib::StillBrokenFurther(const CRegErrorLog& finding, HKEY key, bool* handled) {
    using KeyJudge = engine::Verdict (CRegistryLib::*)(const std::string&, const RegValueList&);
    using ValueJudge = engine::Verdict (CRegistryLib::*)(const std::string&, const CRegValue&);
    static const struct {
        const char* category;
        KeyJudge keyJudge;
        ValueJudge valueJudge;
    } kJudges[] = {
        {kCategoryAppPath, &CRegistryLib::JudgeAppPathKey, nullptr},
        {kCategoryStartup, nullptr, &CRegistryLib::JudgeStartupValue},
        {kCategorySoftware, &CRegistryLib::JudgeSoftwareKey, nullptr},
        {kCategoryTypeLib, &CRegistryLib::JudgeTypeLibKey, nullptr},
        {kCategorySound, nullptr, &CRegistryLib::JudgeSoundValue},
        {kCategoryMuiCache, nullptr, &CRegistryLib::JudgeMuiCacheValue},
        {kCategoryInstallerFolder, nullptr, &CRegistryLib::JudgeInstallerFolderValue},
    };
    *handled = false;
    for (const auto& entry : kJudges) {
        if (_stricmp(finding.GetCategory().c_str(), entry.category) != 0) {
            continue;
        }
        *handled = true;
        RegValueList values;
        if (AddRegistryValues(key, values) != ERROR_SUCCESS) {
            return false;
        }
        const std::string& keyPath = finding.GetKeyPath();
        if (entry.keyJudge != nullptr) {
            return engine::KeyTextExact(m_registry, key, true) &&
                   (this->*entry.keyJudge)(keyPath, values) == engine::Verdict::Missing;
        }
        const CRegValue* found = finding.GetValue();
        const CRegValue* now =
            found != nullptr ? engine::FindValue(values, found->m_strName.c_str()) : nullptr;
        if (now == nullptr ||
            (found != nullptr && found->m_strName == kDefaultValueName && now->m_strData == kValueNotSet)) {
            return found != nullptr; // gone already
        }
        const std::string rawName = found->m_strName == kDefaultValueName ? std::string() : found->m_strName;
        return engine::ValueTextExactNamed(m_registry, key, rawName) &&
               (this->*entry.valueJudge)(keyPath, *now) == engine::Verdict::Missing;
    }
    return false;
}
