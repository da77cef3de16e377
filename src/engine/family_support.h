#pragma once
// Small pieces the further families share: reading a key's values by name and the texts they judge.
#include "engine/key_handle.h"
#include "engine/path_judgement.h"
#include "engine/records.h"
#include "engine/scan_support.h"
#include "engine/stop_poller.h"

#include <string>
#include <vector>

class CRegistryLib;

namespace engine {

// The record of that name (any case), or null.
const CRegValue* FindValue(const RegValueList& values, const char* name);

// The text of a string value (REG_SZ or REG_EXPAND_SZ) that is set and not empty; false for any other.
bool StringText(const CRegValue* value, std::string* text);

// True when the value is present and not plainly zero: a guard such as "WindowsInstaller" = 1. A value of
// an unexpected type counts as set, so that an unusual entry is left alone.
bool FlagSet(const CRegValue* value);

// True for a key path through the 32-bit view's WOW6432Node.
bool ThirtyTwoBitKey(const std::string& keyPath);

// The text with a trailing resource index removed: ",<number>" for an icon, "\<number>" for a type library.
// Empty when there is none.
std::string WithoutIndex(const std::string& text, char separator);

// True when `keyPath` is, by where it really is, a key already in `seen` (Windows and Wine share some keys
// between the 64-bit and the 32-bit view, so "WOW6432Node\\...\\Run" may be the very key the 64-bit walk
// read); otherwise it joins `seen`. A key whose real name cannot be told is never a repeat.
bool SeenBefore(CRegistryLib& lib, const std::string& keyPath, std::vector<std::string>& seen);

// A text that may end in a resource index ("file,3" for an icon, "file\\3" for a type library), judged by
// `judge`: missing only when the file before the index is missing and so is the whole text, unless the
// whole text holds a quote and so cannot be a file's name.
template <class Judge> Verdict JudgeIndexed(Judge judge, const std::string& text, char separator) {
    const std::string file = WithoutIndex(text, separator);
    if (file.empty()) {
        return judge(text);
    }
    const Verdict before = judge(file);
    if (before != Verdict::Missing || text.find('"') != std::string::npos) {
        return before;
    }
    return judge(text);
}

// Calls fn(name, key) for each subkey of an open key that opens, testing `stop` before each.
template <class Fn> void EachSubKey(RegistryApi& registry, StopPoller& stop, HKEY key, Fn fn) {
    DWORD longestName = 0;
    if (registry.QueryInfoKey(key, nullptr, &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    SubKeyReader names(registry, key, longestName);
    for (DWORD i = 0; !stop(); ++i) {
        if (names.Read(i) != ERROR_SUCCESS) {
            break;
        }
        KeyHandle child(registry);
        if (names.Length() == 0 || registry.OpenKey(key, names.Name(), child.Receive()) != ERROR_SUCCESS) {
            continue;
        }
        fn(std::string(names.Name()), child.Get());
    }
}

} // namespace engine
