#include "support/real_registry.h"

#include "engine/registry_api.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <winternl.h>

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

void SetRealString(HKEY root, const std::string& path, const char* name, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(root, path.c_str(), &key), ERROR_SUCCESS) << path;
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

bool RealKeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

namespace {

template <typename Proc> Proc Native(const char* name) {
    return reinterpret_cast<Proc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING counted{};
    counted.Buffer = const_cast<wchar_t*>(text.data());
    counted.Length = counted.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return counted;
}

} // namespace

bool MakeRegistryLink(HKEY root, const std::string& linkPath, HKEY targetRoot,
                      const std::string& targetPath) {
    HKEY target = nullptr;
    if (RegOpenKeyExA(targetRoot, targetPath.c_str(), 0, KEY_READ, &target) != ERROR_SUCCESS) {
        return false;
    }
    const std::string name = engine::Win32Registry().KeyObjectName(target); // UTF-8; links ignore case
    RegCloseKey(target);
    const int units = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(), units);
    HKEY link = nullptr;
    if (name.empty() ||
        RegCreateKeyExA(root, linkPath.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    // The target's name without a NUL, as the registry wants it.
    const LONG rc =
        RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(wide.data()),
                       static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    return rc == ERROR_SUCCESS;
}

void DeleteRegistryLink(HKEY root, const std::string& linkPath) {
    HKEY link = nullptr;
    if (RegOpenKeyExA(root, linkPath.c_str(), REG_OPTION_OPEN_LINK, DELETE | KEY_QUERY_VALUE, &link) ==
        ERROR_SUCCESS) {
        using DeleteKeyProc = LONG(WINAPI*)(HANDLE);
        Native<DeleteKeyProc>("NtDeleteKey")(link);
        RegCloseKey(link);
    }
}

bool SetValueNative(HKEY key, const std::wstring& name, const std::wstring& text) {
    using SetValueProc = LONG(WINAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    UNICODE_STRING counted = Counted(name);
    return Native<SetValueProc>("NtSetValueKey")(key, &counted, 0, REG_SZ, text.c_str(),
                                                 static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t))) ==
           0;
}

void DeleteValueNative(HKEY key, const std::wstring& name) {
    using DeleteValueProc = LONG(WINAPI*)(HANDLE, UNICODE_STRING*);
    UNICODE_STRING counted = Counted(name);
    Native<DeleteValueProc>("NtDeleteValueKey")(key, &counted);
}

} // namespace testsupport
