// CRegistryLib::AddRegistryValues: every value of an open key as a CRegValue record.
#include "engine/registry_lib.h"
#include "engine/value_text.h"

#include <algorithm>

namespace {

// The longest value name the registry allows, plus its NUL.
constexpr DWORD kMaxValueNameBuffer = 16384;

} // namespace

void CRegistryLib::PrepareValueBuffers(DWORD longestName, DWORD longestData) {
    if (m_nameBuffer.size() < size_t{longestName} + 1) {
        m_nameBuffer.resize(size_t{longestName} + 1);
    }
    if (m_dataBuffer.size() < size_t{longestData} + 1) {
        m_dataBuffer.resize(size_t{longestData} + 1);
    }
}

LONG CRegistryLib::ReadValue(HKEY key, DWORD index, std::unique_ptr<CRegValue>& value) {
    DWORD nameLength = 0;
    DWORD dataSize = 0;
    DWORD type = REG_NONE;
    LONG rc = ERROR_MORE_DATA;
    // A value may have grown since the key was queried (or the query counted differently): grow, read again.
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        nameLength = static_cast<DWORD>(m_nameBuffer.size());
        dataSize = static_cast<DWORD>(m_dataBuffer.size());
        m_nameBuffer[0] = '\0';
        rc = m_registry.EnumValue(key, index, m_nameBuffer.data(), &nameLength, &type, m_dataBuffer.data(),
                                  &dataSize);
        if (rc == ERROR_MORE_DATA) {
            if (dataSize > m_dataBuffer.size()) {
                m_dataBuffer.resize(size_t{dataSize} + 1);
            } else if (m_nameBuffer.size() < kMaxValueNameBuffer) {
                m_nameBuffer.resize(kMaxValueNameBuffer);
            } else {
                m_dataBuffer.resize(m_dataBuffer.size() * 2);
            }
        }
    }
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    dataSize = std::min<DWORD>(dataSize, static_cast<DWORD>(m_dataBuffer.size()));
    nameLength = std::min<DWORD>(nameLength, static_cast<DWORD>(m_nameBuffer.size()));

    value = std::make_unique<CRegValue>();
    value->m_dwType = type;
    value->m_raw.assign(m_dataBuffer.data(), m_dataBuffer.data() + dataSize);
    value->m_bHasRaw = true;
    if (nameLength != 0 || m_nameBuffer[0] != '\0') {
        value->m_strName.assign(m_nameBuffer.data(), nameLength);
        value->m_strData = ConvertToString(type, m_dataBuffer.data(), dataSize);
    } else {
        // The unnamed value. Its text takes the same form as any other value's, so that a number or binary
        // default value survives a backup and restore as text.
        value->m_strName = kDefaultValueName;
        value->m_strData =
            dataSize != 0 ? ConvertToString(type, m_dataBuffer.data(), dataSize) : kValueNotSet;
    }
    return ERROR_SUCCESS;
}

std::unique_ptr<CRegValue> CRegistryLib::UnsetDefaultValue() {
    auto value = std::make_unique<CRegValue>();
    value->m_strName = kDefaultValueName;
    value->m_strData = kValueNotSet;
    value->m_dwType = REG_SZ;
    return value;
}

bool CRegistryLib::HasDefaultRecord(HKEY key) {
    DWORD size = 0;
    return m_registry.QueryValueEx(key, "", nullptr, nullptr, &size) == ERROR_SUCCESS ||
           m_registry.QueryValueEx(key, kDefaultValueName, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

LONG CRegistryLib::AddRegistryValues(HKEY key, RegValueList& values) {
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    const LONG queried = m_registry.QueryInfoKey(key, nullptr, nullptr, &count, &longestName, &longestData);
    LONG result = queried;
    PrepareValueBuffers(longestName, longestData);

    const size_t first = values.size(); // records of this key start here
    if (queried == ERROR_SUCCESS && count != 0 && count != 0xFFFFFFFF) {
        for (DWORD i = 0; i < count; ++i) {
            std::unique_ptr<CRegValue> value;
            const LONG rc = ReadValue(key, i, value);
            if (rc == ERROR_SUCCESS) {
                values.push_back(std::move(value));
            } else if (result == ERROR_SUCCESS && rc != ERROR_NO_MORE_ITEMS) {
                result = rc; // skipped, but a backup must know that it did not see every value
            }
        }
    }

    const bool hasDefault = std::any_of(values.begin() + static_cast<std::ptrdiff_t>(first), values.end(),
                                        [](const auto& v) { return v->m_strName == kDefaultValueName; });
    if (!hasDefault) {
        values.insert(values.begin() + static_cast<std::ptrdiff_t>(first), UnsetDefaultValue());
    }
    return result;
}
