#include "engine/registry_api.h"

namespace engine {
namespace {

class Win32RegistryImpl final : public RegistryApi {
public:
    LONG OpenKey(HKEY key, const char* subKey, HKEY* result) override {
        return RegOpenKeyA(key, subKey, result);
    }
    LONG OpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) override {
        return RegOpenKeyExA(key, subKey, options, sam, result);
    }
    LONG CreateKey(HKEY key, const char* subKey, HKEY* result) override {
        return RegCreateKeyA(key, subKey, result);
    }
    LONG QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values, DWORD* maxValueNameLen,
                      DWORD* maxValueLen) override {
        return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, maxSubKeyLen, nullptr, values,
                                maxValueNameLen, maxValueLen, nullptr, nullptr);
    }
    LONG EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) override {
        return RegEnumKeyExA(key, index, name, nameLen, nullptr, nullptr, nullptr, nullptr);
    }
    LONG EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                   DWORD* dataLen) override {
        return RegEnumValueA(key, index, name, nameLen, nullptr, type, data, dataLen);
    }
    LONG QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataLen) override {
        return RegQueryValueExA(key, name, nullptr, type, data, dataLen);
    }
    LONG SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override {
        return RegSetValueExA(key, name, 0, type, data, size);
    }
    LONG DeleteKey(HKEY key, const char* subKey) override { return RegDeleteKeyA(key, subKey); }
    LONG DeleteValue(HKEY key, const char* name) override { return RegDeleteValueA(key, name); }
    LONG CloseKey(HKEY key) override { return RegCloseKey(key); }
    LONG EnumKeyExW(HKEY key, DWORD index, wchar_t* name, DWORD* nameLen) override {
        return RegEnumKeyExW(key, index, name, nameLen, nullptr, nullptr, nullptr, nullptr);
    }
    LONG EnumValueW(HKEY key, DWORD index, wchar_t* name, DWORD* nameLen, DWORD* type, BYTE* data,
                    DWORD* dataLen) override {
        return RegEnumValueW(key, index, name, nameLen, nullptr, type, data, dataLen);
    }
};

} // namespace

RegistryApi& Win32Registry() {
    static Win32RegistryImpl registry;
    return registry;
}

} // namespace engine
