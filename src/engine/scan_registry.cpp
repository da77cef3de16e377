// The registry scan: the families in their fixed order, and what they share.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/ignore_list.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"
#include "engine/value_text.h"

#include <algorithm>
#include <vector>

void CRegistryLib::ScanRegistry(ScanErrorList& errors) {
    errors.clear();
    m_arrErrorLog.clear();
    m_nIgnored = 0;
    // A stop left from before the run was forgotten by BeginRun; one asked for since then is kept.
    // No stop check between the families: each one checks at its start and then adds no row.
    for (std::size_t i = 0; i < kRegistryFamilyCount; ++i) {
        if (FamilySelected(i)) {
            (this->*kRegistryFamilies[i].scan)(errors);
        }
    }
}

bool CRegistryLib::StartFamily() {
    if (StopRequested()) {
        return false;
    }
    m_stop = StopPoller();
    NewJudge();
    return true;
}

void CRegistryLib::Progress(const std::string& item, const char* status, const Counts& counts) {
    if (m_pfnProgress != nullptr) {
        m_pfnProgress(item, status, counts.scanned, counts.found);
    }
}

bool CRegistryLib::NamesExactly(const std::string& keyPath, const CRegValue& value) {
    if (!value.m_bHasRaw) {
        return true;
    }
    std::string subKey = keyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle key(m_registry);
    if (OpenKey(root, subKey, key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    const char* name = value.m_strName == kDefaultValueName ? "" : value.m_strName.c_str();
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = m_registry.QueryValueEx(key.Get(), name, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND && *name == '\0') {
        return value.m_strData == kValueNotSet; // the unnamed value that is not set
    }
    std::vector<BYTE> data(size_t{size} + 1);
    size = static_cast<DWORD>(data.size());
    rc = m_registry.QueryValueEx(key.Get(), name, &type, data.data(), &size);
    // Compared as the scan judged it: the same type and text.
    return rc == ERROR_SUCCESS && type == value.m_dwType &&
           ConvertToString(type, data.data(), std::min<DWORD>(size, static_cast<DWORD>(data.size()))) ==
               value.m_strData;
}

bool CRegistryLib::IsIgnored(const char* category, const char* kind, const std::string& keyPath,
                             const CRegValue* value) {
    if (m_pIgnoreList == nullptr || m_pIgnoreList->Size() == 0) {
        return false;
    }
    const bool isValue = std::string(kind) == kKindValue && value != nullptr;
    if (!m_pIgnoreList->PassOver(engine::FindingId({category, keyPath, isValue ? value->m_strName : ""}))) {
        return false;
    }
    ++m_nIgnored;
    return true;
}

bool CRegistryLib::AddFinding(const char* category, const char* kind, std::string keyPath,
                              std::unique_ptr<CRegValue> value, const std::string* missingFile) {
    // A value whose name, read through the ANSI calls, names another value (or none) is not certain.
    if (value != nullptr && std::string(kind) == kKindValue && !NamesExactly(keyPath, *value)) {
        return false;
    }
    if (IsIgnored(category, kind, keyPath, value.get())) {
        return false;
    }
    auto finding = std::make_unique<CRegErrorLog>();
    finding->SetMissingFile(missingFile != nullptr ? *missingFile : Judge().TestedPath());
    finding->SetValue(std::move(value));
    finding->SetKeyPath(std::move(keyPath));
    finding->SetCategory(category);
    finding->SetKind(kind);
    m_arrErrorLog.push_back(std::move(finding));
    return true;
}

void CRegistryLib::AppendRow(ScanErrorList& errors, const char* description, const Counts& counts) {
    auto row = std::make_unique<CScanError>();
    row->m_strDescription = description;
    row->m_nScanned = counts.scanned;
    row->m_nFound = counts.found;
    row->m_nFixed = 0;
    errors.push_back(std::move(row));
}

// The values are read and examined one at a time, in the order AddRegistryValues lists them (the "(Default)"
// record first when the key has no unnamed value), so a key with many thousands of values costs no more
// memory than one value.
void CRegistryLib::ScanValueList(const std::string& keyPath, engine::Reference kind, bool pathInName,
                                 const char* category, const char* status, Counts& counts) {
    std::string subKey = keyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle key(m_registry);
    if (OpenKey(root, subKey, key.Receive()) != ERROR_SUCCESS) {
        return;
    }

    // A key of the 32-bit view lists paths as a 32-bit program reads them.
    const bool thirtyTwoBit = engine::ThirtyTwoBitKey(keyPath);
    const auto examine = [&](std::unique_ptr<CRegValue> record, bool exact) {
        ++counts.scanned;
        const std::string& path = pathInName ? record->m_strName : record->m_strData;
        if (!exact ||
            (pathInName ? (path == kValueNotSet || path == kDefaultValueName) : path == kValueNotSet)) {
            return;
        }
        if (JudgeAs(kind, path, thirtyTwoBit) == engine::Verdict::Missing) {
            if (AddFinding(category, kKindValue, keyPath, std::move(record))) {
                ++counts.found;
            }
        }
        Progress(Judge().TestedPath(), status, counts);
    };

    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    const LONG queried =
        m_registry.QueryInfoKey(key.Get(), nullptr, nullptr, &count, &longestName, &longestData);
    PrepareValueBuffers(longestName, longestData);
    if (queried != ERROR_SUCCESS || count == 0 || count == 0xFFFFFFFF || !HasDefaultRecord(key.Get())) {
        if (m_stop()) {
            return;
        }
        examine(UnsetDefaultValue(), true);
    }
    if (queried != ERROR_SUCCESS || count == 0xFFFFFFFF) {
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (m_stop()) {
            return;
        }
        std::unique_ptr<CRegValue> record;
        if (ReadValue(key.Get(), i, record) == ERROR_SUCCESS) {
            examine(std::move(record), engine::ValueTextExactAt(m_registry, key.Get(), i));
        }
    }
}
