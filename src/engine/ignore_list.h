#pragma once
// The entries a user never wants to see again, kept per user in HKEY_CURRENT_USER\Software\Orvalin\Ignore:
// one value per entry, named by its id and holding, readable in a registry editor, what the id names
// (REG_MULTI_SZ: category, key path, value name; the last empty for a whole key).
#include "engine/finding_id.h"
#include "engine/registry_api.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

inline constexpr char kIgnoreKey[] = "Software\\Orvalin\\Ignore"; // below HKEY_CURRENT_USER

class IgnoreList {
public:
    // Reads the list. A value that is not an entry (a name that is no id, data that is not three texts, or
    // texts whose id is not its name) is skipped and named in Damaged(). A list that does not exist is empty.
    // Returns the failure when the key exists but could not be read whole.
    LONG Load(RegistryApi& registry);
    // What the last Load returned.
    LONG LoadError() const { return m_loadError; }

    bool Contains(const std::string& id) const { return m_entries.count(id) != 0; }
    bool Contains(const CRegErrorLog& finding) const;
    // A scan passing over an entry: true when the list holds that id, which is then counted until the next
    // Load, so that taking an entry back can tell how often the scan's ignored count holds it.
    bool PassOver(const std::string& id) const;
    int PassedOver(const std::string& id) const;
    std::size_t Size() const { return m_entries.size(); }
    // The entries sorted by category, key path and value name, each with its id.
    std::vector<std::pair<std::string, FindingName>> Sorted() const;
    // Value names skipped by the last Load, each with why.
    const std::vector<std::string>& Damaged() const { return m_damaged; }

    // Writes one entry (and keeps it here); the registry's code on failure.
    LONG Add(RegistryApi& registry, const FindingName& name);
    // Deletes the entry of that id; ERROR_FILE_NOT_FOUND when the list has none.
    LONG Remove(RegistryApi& registry, const std::string& id);

private:
    LONG ReadAll(RegistryApi& registry);

    std::unordered_map<std::string, FindingName> m_entries;
    std::vector<std::string> m_damaged;
    // Written by the scan's worker through a const list, read by the window after it has waited for it.
    mutable std::unordered_map<std::string, int> m_passed;
    LONG m_loadError = ERROR_SUCCESS;
};

} // namespace engine
