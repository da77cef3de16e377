#pragma once
// Small helpers for tests that work on the test prefix's real registry.
#include <string>

#include <windows.h>

namespace testsupport {

// A fresh class id in registry form ("{...}"), for keys under HKEY_CLASSES_ROOT\CLSID.
std::string NewClassId();

// Creates root\path when needed and sets its REG_SZ value `name` (null: the unnamed value); a failure fails
// the running test.
void SetRealString(HKEY root, const std::string& path, const char* name, const std::string& data);

// True when the key opens for reading.
bool RealKeyExists(HKEY root, const std::string& path);

// A registry link at root\linkPath to the key targetRoot\targetPath (which must exist), made the way any
// program can; false when the registry refused. DeleteRegistryLink removes the link itself, never its
// target (RegDeleteTree would follow it).
bool MakeRegistryLink(HKEY root, const std::string& linkPath, HKEY targetRoot, const std::string& targetPath);
void DeleteRegistryLink(HKEY root, const std::string& linkPath);

// Sets or deletes a REG_SZ value whose name is given whole, NULs included (only the native call can).
bool SetValueNative(HKEY key, const std::wstring& name, const std::wstring& text);
void DeleteValueNative(HKEY key, const std::wstring& name);

} // namespace testsupport
