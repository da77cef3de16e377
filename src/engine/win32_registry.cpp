#include "engine/registry_api.h"

#include <cstring>
#include <vector>

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
    std::string KeyObjectName(HKEY key) override;
};

// NtQueryKey with KeyNameInformation: the only call that gives a key's name as the registry holds it.
using NtQueryKeyProc = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
constexpr int kKeyNameInformation = 3;

std::string Win32RegistryImpl::KeyObjectName(HKEY key) {
    static const auto query = reinterpret_cast<NtQueryKeyProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
    if (query == nullptr || key == nullptr) {
        return std::string();
    }
    std::vector<BYTE> buffer(4096);
    ULONG needed = 0;
    LONG status = query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status != 0 && needed > buffer.size()) {
        buffer.resize(needed);
        status = query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    }
    ULONG bytes = 0;
    if (status != 0 || buffer.size() < sizeof bytes) {
        return std::string();
    }
    std::memcpy(&bytes, buffer.data(), sizeof bytes);
    if (bytes == 0 || bytes > buffer.size() - sizeof bytes) {
        return std::string();
    }
    std::wstring name(bytes / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), buffer.data() + sizeof bytes, name.size() * sizeof(wchar_t));
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    // UTF-8, so that two names never compare equal through the code page's default character.
    const int size = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), text.data(), size,
                            nullptr, nullptr);
    }
    return text;
}

} // namespace

RegistryApi& Win32Registry() {
    static Win32RegistryImpl registry;
    return registry;
}

} // namespace engine
