#pragma once
// What a shortcut file points at, read through the shell's own link object, in the form the judgement of
// "missing" takes (engine/path_judgement.h). Anything else is examined but never reported, because
// deleting it could break a working shortcut.
#include <windows.h>

#include <string>

namespace shortcuts {

struct LinkTarget {
    HRESULT hr = E_FAIL;  // the last result of the shell-link steps
    bool hasPath = false; // a file-system path that fits MAX_PATH was read
    std::string path;
};

// Loads the shortcut with IShellLinkA and IPersistFile and reads its target with GetPath. No path is
// given for a file that cannot be loaded, an installer-advertised shortcut, a shortcut that holds only a
// shell location, or a target longer than MAX_PATH. The caller has initialised COM on this thread.
LinkTarget ReadLinkTarget(const std::string& shortcutPath);

// The upper-case drive letter of a path of the form "X:\...", or 0 for any other form (UNC, device,
// relative or drive-relative paths).
char TargetDriveLetter(const std::string& path);

// A target that still holds "%NAME%" references (links written by programs under Wine keep the variable
// text): every reference expanded. False when one is left unexpanded or the result is no plain path (a
// drive written again inside it, as "C:\C:\windows\notepad.exe"): such a target cannot be judged.
bool ExpandTargetText(const std::string& text, std::string& expanded);

// Asks the shell to resolve the shortcut as it would when opened, without UI, without updating the file
// and for at most `timeoutMs`: true when it finds an existing file or folder. The caller has initialised
// COM on this thread.
bool ShellFindsTarget(const std::string& shortcutPath, WORD timeoutMs);

// Cloud placeholders (the file's content lives with a sync provider): opening one downloads it, and moving
// one deletes it on every machine that shares it.
// (FILE_ATTRIBUTE_RECALL_ON_OPEN 0x40000 and FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS 0x400000 are missing from
// older SDK headers.)
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kRecallOnDataAccess = 0x00400000;
constexpr DWORD kPlaceholderAttributes = kRecallOnDataAccess | kRecallOnOpen | FILE_ATTRIBUTE_OFFLINE;
inline bool IsCloudPlaceholder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kPlaceholderAttributes) != 0;
}

} // namespace shortcuts
