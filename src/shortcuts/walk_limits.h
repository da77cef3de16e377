#pragma once
// Where the shortcut walk must not go, because what it would find there cannot be judged from here or must
// not be moved: folders that sync to the cloud, other users' profiles, the shortcut folders kept beside
// earlier backups, and (under Wine) drives that lead out of the prefix into the host's file system.
#include <string>
#include <vector>

namespace shortcuts {

// The folders the walk never enters, as full paths: the OneDrive* folders named under
// HKEY_CURRENT_USER\Environment and the profiles of other users.
std::vector<std::string> ExcludedFolders();

// The folders directly inside `profilesDir` except those in `own` (the current user's and the Public
// profile): another user's links name that user's variables and folders.
std::vector<std::string> OtherProfiles(const std::string& profilesDir, const std::vector<std::string>& own);

// True for a folder name that a fix gave the shortcuts it kept ("….xml.shortcuts"): scanning it would
// list them again, and a later fix would take them from the backup they belong to.
bool IsShortcutBackupFolderName(const std::string& name);

// True when `folder` is one of `excluded` (without regard to case).
bool IsExcluded(const std::string& folder, const std::vector<std::string>& excluded);

// Under Wine: true when the drive's folder lies outside the Wine prefix (Z: as Wine makes it is the whole
// host file system). Always false on Windows.
bool DriveLeavesWinePrefix(char letter);

} // namespace shortcuts
