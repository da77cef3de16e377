#include "engine/ignore_list.h"

#include "engine/key_handle.h"

#include <algorithm>
#include <tuple>

namespace engine {
namespace {

// The texts of REG_MULTI_SZ data, or false when it is not exactly three of them.
bool ReadParts(const std::vector<BYTE>& data, DWORD size, FindingName& name) {
    std::vector<std::string> parts;
    std::string part;
    const DWORD end = std::min<DWORD>(size, static_cast<DWORD>(data.size()));
    for (DWORD i = 0; i < end; ++i) {
        if (data[i] != 0) {
            part += static_cast<char>(data[i]);
            continue;
        }
        parts.push_back(std::move(part));
        part.clear();
    }
    // The list ends with an empty text (the double NUL); the value name may itself be empty.
    while (parts.size() > 3 && parts.back().empty()) {
        parts.pop_back();
    }
    if (!part.empty() || parts.size() != 3 || parts[0].empty() || parts[1].empty()) {
        return false;
    }
    name = {std::move(parts[0]), std::move(parts[1]), std::move(parts[2])};
    return true;
}

std::vector<BYTE> MultiText(const FindingName& name) {
    std::vector<BYTE> data;
    for (const std::string* part : {&name.category, &name.keyPath, &name.valueName}) {
        data.insert(data.end(), part->begin(), part->end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

LONG OpenList(RegistryApi& registry, bool create, HKEY* key) {
    return create ? registry.CreateKey(HKEY_CURRENT_USER, kIgnoreKey, key)
                  : registry.OpenKeyEx(HKEY_CURRENT_USER, kIgnoreKey, 0, KEY_READ | KEY_SET_VALUE, key);
}

} // namespace

LONG IgnoreList::Load(RegistryApi& registry) {
    m_loadError = ReadAll(registry);
    return m_loadError;
}

LONG IgnoreList::ReadAll(RegistryApi& registry) {
    m_entries.clear();
    m_damaged.clear();
    m_passed.clear();
    KeyHandle key(registry);
    const LONG opened = OpenList(registry, false, key.Receive());
    if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) {
        return ERROR_SUCCESS;
    }
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    const LONG queried =
        registry.QueryInfoKey(key.Get(), nullptr, nullptr, &count, &longestName, &longestData);
    if (queried != ERROR_SUCCESS) {
        return queried;
    }
    m_entries.reserve(count);
    std::vector<char> nameBuffer(std::size_t{longestName} + 1);
    std::vector<BYTE> data(std::size_t{longestData} + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG rc =
            registry.EnumValue(key.Get(), i, nameBuffer.data(), &nameLength, &type, data.data(), &size);
        if (rc == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (rc == ERROR_MORE_DATA) {
            // Grown since the count: read again with room enough.
            nameBuffer.resize(nameBuffer.size() * 2 + 256);
            data.resize(std::max<std::size_t>(data.size() * 2, std::size_t{size} + 2));
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        const std::string valueName(nameBuffer.data(), nameLength);
        FindingName name;
        if (!IsFindingId(valueName)) {
            m_damaged.push_back(valueName + ": not an id");
        } else if (type != REG_MULTI_SZ || !ReadParts(data, size, name)) {
            m_damaged.push_back(valueName + ": not a category, key path and value name");
        } else if (FindingId(name) != CanonicalId(valueName)) {
            m_damaged.push_back(valueName + ": the entry it holds has another id");
        } else {
            m_entries.emplace(CanonicalId(valueName), std::move(name));
        }
    }
}

bool IgnoreList::Contains(const CRegErrorLog& finding) const {
    return !m_entries.empty() && Contains(FindingId(finding));
}

bool IgnoreList::PassOver(const std::string& id) const {
    if (!Contains(id)) {
        return false;
    }
    ++m_passed[id];
    return true;
}

int IgnoreList::PassedOver(const std::string& id) const {
    const auto found = m_passed.find(CanonicalId(id));
    return found == m_passed.end() ? 0 : found->second;
}

std::vector<std::pair<std::string, FindingName>> IgnoreList::Sorted() const {
    std::vector<std::pair<std::string, FindingName>> sorted(m_entries.begin(), m_entries.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return std::tie(a.second.category, a.second.keyPath, a.second.valueName, a.first) <
               std::tie(b.second.category, b.second.keyPath, b.second.valueName, b.first);
    });
    return sorted;
}

LONG IgnoreList::Add(RegistryApi& registry, const FindingName& name) {
    KeyHandle key(registry);
    LONG rc = OpenList(registry, true, key.Receive());
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    const std::string id = FindingId(name);
    const std::vector<BYTE> data = MultiText(name);
    rc = registry.SetValueEx(key.Get(), id.c_str(), REG_MULTI_SZ, data.data(),
                             static_cast<DWORD>(data.size()));
    if (rc == ERROR_SUCCESS) {
        m_entries[id] = name;
    }
    return rc;
}

LONG IgnoreList::Remove(RegistryApi& registry, const std::string& id) {
    const std::string canonical = CanonicalId(id);
    if (!Contains(canonical)) {
        return ERROR_FILE_NOT_FOUND;
    }
    KeyHandle key(registry);
    LONG rc = OpenList(registry, false, key.Receive());
    if (rc == ERROR_SUCCESS) {
        rc = registry.DeleteValue(key.Get(), canonical.c_str());
    }
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        m_entries.erase(canonical);
        m_passed.erase(canonical);
        return ERROR_SUCCESS;
    }
    return rc;
}

} // namespace engine
