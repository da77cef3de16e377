#pragma once
// Registry links and the keys that are never findings. A walk below a finding opens every subkey without
// following links, so that nothing outside the finding is read as part of it or deleted with it.
#include "engine/key_handle.h"
#include "engine/registry_api.h"

#include <string>
#include <vector>

namespace engine {

// The value that makes a key a link to the key its REG_LINK data names.
inline constexpr char kLinkValueName[] = "SymbolicLinkValue";

// The registry refuses to nest keys deeper than this below a root; walks stop there too.
inline constexpr std::size_t kMaxWalkDepth = 512;

// True when the key, opened with REG_OPTION_OPEN_LINK and KEY_QUERY_VALUE, is a link.
bool IsLinkKey(RegistryApi& registry, HKEY key);

// Opens `name` below `parent` as itself: a link is opened, not the key it points to. `link` tells which.
LONG OpenWithoutFollowing(RegistryApi& registry, HKEY parent, const char* name, REGSAM access, KeyHandle& key,
                          bool& link);

// The keys whose subkeys or values are the entries of a family, and the hive roots: a finding may never
// name one of them, nor a key above one. Families add the keys they read here.
extern const char* const kContainerKeys[];
extern const std::size_t kContainerKeyCount;

// A key path in one comparable form: upper case, no empty parts, the HKEY_LOCAL_MACHINE\SOFTWARE\Classes
// and user forms of HKEY_CLASSES_ROOT written as HKEY_CLASSES_ROOT, a user's hive as HKEY_CURRENT_USER,
// and the 32-bit view's Wow6432Node parts left out.
std::vector<std::string> CanonicalKeyParts(const std::string& keyPath);

// True when `keyPath` names a container key or a key above one, by its text alone.
bool NamesContainerKey(const std::string& keyPath);

} // namespace engine
