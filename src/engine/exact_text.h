#pragma once
// Whether registry text read through the ANSI calls is exact. Under the UTF-8 code page it always is; under
// a legacy code page a name or text with characters the code page lacks comes back with '?' or a best-fit
// look-alike that names another file or key, so such an entry is neither judged nor deleted.
#include "engine/registry_api.h"

#include <string>

namespace engine {

// Every value name and string text of the key, and with `subtree` every subkey name and subkey below it,
// converts to the ANSI code page without loss. False when the key cannot be read to its end.
bool KeyTextExact(RegistryApi& registry, HKEY key, bool subtree);

// The value at `index` of the key (its name and, for string types, its text) converts without loss.
bool ValueTextExactAt(RegistryApi& registry, HKEY key, DWORD index);

// The value whose ANSI name is `name` converts without loss; false when no such value is found.
bool ValueTextExactNamed(RegistryApi& registry, HKEY key, const std::string& name);

} // namespace engine
