#pragma once
// The registry as the engine sees it: the ANSI registry calls it makes, behind one small interface.
// The program and the integration tests use the real Win32 registry; unit tests use an in-memory
// registry that can be told to fail a given call (tests/support/memory_registry.h).
#include <windows.h>

#include <string>

namespace engine {

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual LONG OpenKey(HKEY key, const char* subKey, HKEY* result) = 0; // RegOpenKeyA
    virtual LONG OpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM sam,
                           HKEY* result) = 0;                               // RegOpenKeyExA
    virtual LONG CreateKey(HKEY key, const char* subKey, HKEY* result) = 0; // RegCreateKeyA
    // RegQueryInfoKeyA, reduced to what the engine reads; lengths in characters without the NUL.
    virtual LONG QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                              DWORD* maxValueNameLen, DWORD* maxValueLen) = 0;
    virtual LONG EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) = 0; // RegEnumKeyExA
    virtual LONG EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                           DWORD* dataLen) = 0; // RegEnumValueA
    virtual LONG QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data,
                              DWORD* dataLen) = 0; // RegQueryValueExA
    virtual LONG SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data,
                            DWORD size) = 0;                  // RegSetValueExA
    virtual LONG DeleteKey(HKEY key, const char* subKey) = 0; // RegDeleteKeyA
    virtual LONG DeleteValue(HKEY key, const char* name) = 0; // RegDeleteValueA
    virtual LONG CloseKey(HKEY key) = 0;                      // RegCloseKey
    // The registry's own full name of an open key in upper case ("\REGISTRY\MACHINE\SOFTWARE\CLASSES"),
    // which tells where the key really is after every link on its path. Empty when it cannot be told.
    virtual std::string KeyObjectName(HKEY) { return std::string(); }

    // The UTF-16 forms of names and texts (RegEnumKeyExW, RegEnumValueW; lengths in characters, data in
    // bytes). Under a legacy code page they tell whether the ANSI text above is exact. A registry that holds
    // its text as ANSI bytes (the in-memory one) has nothing to compare and keeps these defaults.
    virtual LONG EnumKeyExW(HKEY, DWORD, wchar_t*, DWORD*) { return ERROR_CALL_NOT_IMPLEMENTED; }
    virtual LONG EnumValueW(HKEY, DWORD, wchar_t*, DWORD*, DWORD*, BYTE*, DWORD*) {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
};

// The real registry of the machine (or of the Wine prefix). Stateless; one instance serves the process.
RegistryApi& Win32Registry();

} // namespace engine
