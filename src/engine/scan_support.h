#pragma once
// Small pieces shared by the scan families.
#include "engine/registry_api.h"

#include <string>
#include <vector>

namespace engine {

// Reads the subkey names of one open key by index, into a buffer sized from RegQueryInfoKeyA. A name longer
// than the query said (a key added meanwhile) grows the buffer once instead of ending the walk.
class SubKeyReader {
public:
    SubKeyReader(RegistryApi& registry, HKEY key, DWORD longestName)
        : m_registry(registry), m_key(key), m_name(size_t{longestName} + 1) {}

    // 0, ERROR_NO_MORE_ITEMS past the last subkey, or another code.
    LONG Read(DWORD index) {
        for (int attempt = 0;; ++attempt) {
            m_length = static_cast<DWORD>(m_name.size());
            const LONG rc = m_registry.EnumKeyEx(m_key, index, m_name.data(), &m_length);
            if (rc != ERROR_MORE_DATA || attempt > 0 || m_name.size() >= kLongestKeyName) {
                if (rc != ERROR_SUCCESS) {
                    m_length = 0;
                }
                return rc;
            }
            m_name.resize(kLongestKeyName);
        }
    }
    const char* Name() const { return m_name.data(); }
    DWORD Length() const { return m_length; }

private:
    // 255 UTF-16 units, up to 3 bytes each in UTF-8 (the active code page of the programs), and the NUL.
    static constexpr size_t kLongestKeyName = 255 * 3 + 1;

    RegistryApi& m_registry;
    HKEY m_key;
    std::vector<char> m_name;
    DWORD m_length = 0;
};

} // namespace engine
