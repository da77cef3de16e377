#include "support/real_registry.h"

#include <objbase.h>

namespace testsupport {

std::string NewClassId() {
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t wide[64] = {};
    StringFromGUID2(guid, wide, 64);
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

bool RealKeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

} // namespace testsupport
