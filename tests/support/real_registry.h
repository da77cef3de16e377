#pragma once
// Small helpers for tests that work on the test prefix's real registry.
#include <string>

#include <windows.h>

namespace testsupport {

// A fresh class id in registry form ("{...}"), for keys under HKEY_CLASSES_ROOT\CLSID.
std::string NewClassId();

// True when the key opens for reading.
bool RealKeyExists(HKEY root, const std::string& path);

} // namespace testsupport
