#pragma once
// What a shortcut file points at, read through the shell's own link object, and whether that target
// can be shown to be missing. Only a plain file-system path on a fixed drive can: anything else is
// examined but never reported, because deleting it could break a working shortcut.
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

// Only fixed and RAM drives hold targets that can be verified; a target on an absent, removable,
// CD-ROM or network drive may only be out of reach.
bool DriveCanBeVerified(UINT driveType);

enum class TargetState { Exists, Missing, Unknown };
// Exists, Missing (the file or a folder on its path was not found) or Unknown (any other failure,
// such as access denied).
TargetState CheckTarget(const std::string& path);

} // namespace shortcuts
