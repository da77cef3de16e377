#include "engine/registry_lib.h"

#include "engine/registry_links.h"
#include "base/message_box.h"
#include "engine/key_handle.h"
#include "engine/wow64_path.h"

#include <mbstring.h>

namespace {

// Root names in table order; compared without regard to case.
const struct {
    const char* name;
    HKEY key;
} kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

// The bad-root result of OpenKey, RegDelKey and RegDelKeyValue.
constexpr LONG kBadRoot = 1;

// 255 UTF-16 units of a key name, up to 3 bytes each in UTF-8, and the NUL.
constexpr DWORD kLongestKeyNameBytes = 255 * 3 + 1;

// Delete and enumerate: what a recursive delete needs on each key.
constexpr REGSAM kDeleteAccess = DELETE | KEY_ENUMERATE_SUB_KEYS;

std::string WindowsDirectory() {
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char dir[MAX_PATH * 3] = {};
    const UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

} // namespace

bool IsWindows9x() {
    return (GetVersion() & 0x80000000u) != 0;
}

CRegistryLib::CRegistryLib(engine::RegistryApi& registry)
    : CRegistryLib(registry, base::SystemMessageBoxes()) {}

CRegistryLib::CRegistryLib(engine::RegistryApi& registry, base::MessageBoxes& messages)
    : m_bWin9x(IsWindows9x()), m_registry(registry), m_messages(messages), m_strWindowsDir(WindowsDirectory()),
      m_strWow64Dir(engine::SystemWow64Directory()) {
    NewJudge();
}

CRegistryLib::~CRegistryLib() = default;

std::string CRegistryLib::SeperateMainKey(std::string& path) {
    if (path.empty()) {
        return std::string();
    }
    const size_t slash = path.find('\\');
    if (slash == std::string::npos) {
        std::string root;
        root.swap(path);
        return root;
    }
    std::string root = path.substr(0, slash);
    path.erase(0, slash + 1);
    return root;
}

bool CRegistryLib::MapRootKey(const std::string& root, HKEY* key) {
    for (const auto& entry : kRoots) {
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(root.c_str()),
                     reinterpret_cast<const unsigned char*>(entry.name)) == 0) {
            if (key != nullptr) {
                *key = entry.key;
            }
            return true;
        }
    }
    return false;
}

LONG CRegistryLib::OpenKey(const std::string& root, const std::string& subKey, HKEY* result) {
    if (result == nullptr) {
        return kBadRoot;
    }
    *result = nullptr;
    HKEY rootKey = nullptr;
    if (!MapRootKey(root, &rootKey)) {
        return kBadRoot;
    }
    return m_registry.OpenKey(rootKey, subKey.c_str(), result);
}

LONG CRegistryLib::RegDeleteKeyNT(HKEY parent, const char* subKey) {
    if (subKey == nullptr || *subKey == '\0') {
        return ERROR_BADKEY;
    }
    // The keys opened from the top down; each is deleted once it has no subkeys left. An own stack, so
    // that no tree is too deep for the thread's stack; links are opened as themselves and stop the walk,
    // so that a key they point to is never deleted with this one.
    struct Level {
        engine::KeyHandle key;
        std::string name;
    };
    std::vector<Level> stack;
    {
        engine::KeyHandle top(m_registry);
        bool link = false;
        const LONG opened =
            engine::OpenWithoutFollowing(m_registry, parent, subKey, kDeleteAccess, top, link);
        if (opened != ERROR_SUCCESS) {
            return opened;
        }
        if (link) {
            return kLinkInTheWay;
        }
        stack.push_back(Level{std::move(top), subKey});
    }
    while (!stack.empty()) {
        Level& level = stack.back();
        // Always index 0: each child is gone once deleted.
        char child[kLongestKeyNameBytes];
        DWORD length = sizeof child;
        const LONG rc = m_registry.EnumKeyEx(level.key.Get(), 0, child, &length);
        if (rc == ERROR_NO_MORE_ITEMS) {
            const HKEY above = stack.size() > 1 ? stack[stack.size() - 2].key.Get() : parent;
            const LONG deleted = m_registry.DeleteKey(above, level.name.c_str());
            stack.pop_back();
            if (deleted != ERROR_SUCCESS) {
                return deleted;
            }
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (stack.size() >= engine::kMaxWalkDepth) {
            return kTooDeep;
        }
        engine::KeyHandle next(m_registry);
        bool link = false;
        const LONG opened =
            engine::OpenWithoutFollowing(m_registry, level.key.Get(), child, kDeleteAccess, next, link);
        if (opened != ERROR_SUCCESS) {
            return opened;
        }
        if (link) {
            return kLinkInTheWay;
        }
        stack.push_back(Level{std::move(next), std::string(child, length)});
    }
    return ERROR_SUCCESS;
}

LONG CRegistryLib::RegDelKey(const std::string& root, const std::string& subKey) {
    HKEY rootKey = nullptr;
    if (!MapRootKey(root, &rootKey)) {
        return kBadRoot;
    }
    if (subKey.empty()) {
        return ERROR_BADKEY; // never a whole root, whatever the family's RegDeleteKeyA would do with it
    }
    if (m_bWin9x) {
        return m_registry.DeleteKey(rootKey, subKey.c_str());
    }
    return RegDeleteKeyNT(rootKey, subKey.c_str());
}

LONG CRegistryLib::RegDelKeyValue(const std::string& root, const std::string& subKey,
                                  const std::string& valueName) {
    HKEY rootKey = nullptr;
    if (!MapRootKey(root, &rootKey)) {
        return kBadRoot;
    }
    engine::KeyHandle key(m_registry);
    const LONG opened = m_registry.OpenKeyEx(rootKey, subKey.c_str(), 0, KEY_SET_VALUE, key.Receive());
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    if (valueName.find('\0') != std::string::npos) {
        return ERROR_INVALID_NAME; // the ANSI call would name another value: the part before the NUL
    }
    // The name goes to the registry unchanged: "(Default)" is only the display name of the unnamed value,
    // and the unnamed value is never deleted through it.
    return m_registry.DeleteValue(key.Get(), valueName.c_str());
}

std::string CRegistryLib::FontsKeyPath() const {
    return m_bWin9x ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts"
                    : "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
}
