#include "engine/exact_text.h"

#include "engine/registry_links.h"

#include "engine/key_handle.h"
#include "engine/path_judgement.h"

#include <vector>

namespace engine {
namespace {

// Converts to the ANSI code page without best-fit look-alikes; `ansi` receives the result. False when a
// character has no exact form.
bool ToAnsi(const wchar_t* text, int length, std::string* ansi) {
    if (length == 0) {
        ansi->clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) {
        return false;
    }
    ansi->resize(static_cast<size_t>(size));
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, ansi->data(), size, nullptr,
                               &usedDefault) == size &&
           !usedDefault;
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

enum class Read { Exact, NotExact, End, Unchecked };

// Reads the value at `index` in its UTF-16 form; its ANSI name goes to `name` when exact.
Read ReadValueW(RegistryApi& registry, HKEY key, DWORD index, std::string* name) {
    std::vector<wchar_t> wideName(16384);
    std::vector<BYTE> data(512);
    for (;;) {
        DWORD nameLength = static_cast<DWORD>(wideName.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG rc =
            registry.EnumValueW(key, index, wideName.data(), &nameLength, &type, data.data(), &dataLength);
        if (rc == ERROR_MORE_DATA && dataLength > data.size()) {
            data.resize(dataLength);
            continue;
        }
        if (rc == ERROR_NO_MORE_ITEMS) {
            return Read::End;
        }
        if (rc == ERROR_CALL_NOT_IMPLEMENTED) {
            return Read::Unchecked;
        }
        if (rc != ERROR_SUCCESS) {
            return Read::NotExact;
        }
        std::string text;
        const bool exact = ToAnsi(wideName.data(), static_cast<int>(nameLength), name) &&
                           (!IsText(type) || ToAnsi(reinterpret_cast<const wchar_t*>(data.data()),
                                                    static_cast<int>(dataLength / sizeof(wchar_t)), &text));
        return exact ? Read::Exact : Read::NotExact;
    }
}

} // namespace

namespace {

// KeyTextExact below `depth` levels of the finding. Links are opened as themselves and not followed (what
// they point to is no part of the key). Below the deepest level a walk goes the text is not read: the fix
// never removes a tree that deep.
bool SubtreeTextExact(RegistryApi& registry, HKEY key, bool subtree, std::size_t depth) {
    std::string name;
    for (DWORD i = 0;; ++i) {
        const Read read = ReadValueW(registry, key, i, &name);
        if (read == Read::Unchecked) {
            return true;
        }
        if (read == Read::End) {
            break;
        }
        if (read == Read::NotExact) {
            return false;
        }
    }
    for (DWORD i = 0; subtree; ++i) {
        wchar_t wide[256];
        DWORD length = 256;
        const LONG rc = registry.EnumKeyExW(key, i, wide, &length);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS || !ToAnsi(wide, static_cast<int>(length), &name)) {
            return false;
        }
        if (depth >= kMaxWalkDepth) {
            return true;
        }
        KeyHandle child(registry);
        bool link = false;
        if (OpenWithoutFollowing(registry, key, name.c_str(), KEY_READ, child, link) != ERROR_SUCCESS ||
            !SubtreeTextExact(registry, child.Get(), !link, depth + 1)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool KeyTextExact(RegistryApi& registry, HKEY key, bool subtree) {
    return Utf8CodePage() || SubtreeTextExact(registry, key, subtree, 0);
}

bool ValueTextExactAt(RegistryApi& registry, HKEY key, DWORD index) {
    if (Utf8CodePage()) {
        return true;
    }
    std::string name;
    const Read read = ReadValueW(registry, key, index, &name);
    return read == Read::Exact || read == Read::Unchecked;
}

bool ValueTextExactNamed(RegistryApi& registry, HKEY key, const std::string& name) {
    if (Utf8CodePage()) {
        return true;
    }
    std::string read;
    for (DWORD i = 0;; ++i) {
        switch (ReadValueW(registry, key, i, &read)) {
        case Read::Unchecked:
            return true;
        case Read::End:
            return false;
        case Read::Exact:
            if (_stricmp(read.c_str(), name.c_str()) == 0) {
                return true;
            }
            break;
        case Read::NotExact:
            break;
        }
    }
}
} // namespace engine
