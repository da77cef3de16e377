#pragma once
// Everything below a key of the real registry as it is stored, read through the UTF-16 calls, for
// comparisons before and after a fix or a restore.
#include <map>
#include <string>
#include <vector>

#include <windows.h>

namespace testsupport {

// Key path below the snapshot's key ("" for the key itself, "\Child\..." below it) -> the sorted lines
// "name|type|data" of its values. The data is shown as UTF-16 text (an odd last byte apart), so equal
// snapshots hold equal bytes. Empty when the key does not open.
using RegistrySnapshot = std::map<std::wstring, std::vector<std::wstring>>;
RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::wstring& path);
RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::string& path);

} // namespace testsupport
