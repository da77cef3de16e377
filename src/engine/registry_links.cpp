#include "engine/registry_links.h"

#include <algorithm>
#include <cctype>

namespace engine {

const char* const kContainerKeys[] = {
    "HKEY_CLASSES_ROOT",
    "HKEY_CURRENT_USER",
    "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",
    "HKEY_CURRENT_CONFIG",
    "HKEY_CLASSES_ROOT\\CLSID",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows", // the help family reads its subkeys
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\HTML Help",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools",
    // The further families; their 32-bit view's keys compare equal without the WOW6432Node part.
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "HKEY_CLASSES_ROOT\\TypeLib",
    "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps",
    "HKEY_CLASSES_ROOT\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders",
};
const std::size_t kContainerKeyCount = std::size(kContainerKeys);

bool IsLinkKey(RegistryApi& registry, HKEY key) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG rc = registry.QueryValueEx(key, kLinkValueName, &type, nullptr, &size);
    return (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) && type == REG_LINK;
}

LONG OpenWithoutFollowing(RegistryApi& registry, HKEY parent, const char* name, REGSAM access, KeyHandle& key,
                          bool& link) {
    link = false;
    const LONG rc =
        registry.OpenKeyEx(parent, name, REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE, key.Receive());
    if (rc == ERROR_SUCCESS) {
        link = IsLinkKey(registry, key.Get());
    }
    return rc;
}

std::vector<std::string> CanonicalKeyParts(const std::string& keyPath) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= keyPath.size(); ++i) {
        if (i == keyPath.size() || keyPath[i] == '\\') {
            if (!part.empty() && part != "WOW6432NODE") {
                parts.push_back(part);
            }
            part.clear();
        } else {
            part += static_cast<char>(std::toupper(static_cast<unsigned char>(keyPath[i])));
        }
    }
    const auto replaceFront = [&parts](std::size_t count, const char* with) {
        parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(count));
        parts.insert(parts.begin(), with);
    };
    const auto isClasses = [&parts](std::size_t at) {
        return parts.size() > at + 1 && parts[at] == "SOFTWARE" && parts[at + 1] == "CLASSES";
    };
    if (parts.empty()) {
        return parts;
    }
    if (parts[0] == "HKEY_USERS" && parts.size() > 1) {
        const std::string& hive = parts[1];
        const bool classesHive = hive.size() > 8 && hive.compare(hive.size() - 8, 8, "_CLASSES") == 0;
        if (classesHive) {
            replaceFront(2, "HKEY_CLASSES_ROOT");
        } else {
            replaceFront(2, "HKEY_CURRENT_USER"); // any user's hive holds what the current user's does
        }
    }
    if ((parts[0] == "HKEY_LOCAL_MACHINE" || parts[0] == "HKEY_CURRENT_USER") && isClasses(1)) {
        replaceFront(3, "HKEY_CLASSES_ROOT");
    }
    return parts;
}

bool NamesContainerKey(const std::string& keyPath) {
    const std::vector<std::string> finding = CanonicalKeyParts(keyPath);
    if (finding.size() <= 1) {
        return true; // a root, or no key at all
    }
    for (const char* container : kContainerKeys) {
        const std::vector<std::string> parts = CanonicalKeyParts(container);
        if (finding.size() <= parts.size() && std::equal(finding.begin(), finding.end(), parts.begin())) {
            return true;
        }
    }
    return false;
}

} // namespace engine
