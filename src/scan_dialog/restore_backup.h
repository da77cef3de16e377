#pragma once
// Restore from a fix's backup, as the main page's Restore button does it: the open-file dialog, then the
// registry entries of the backup file and the shortcuts the same fix moved aside.
#include <windows.h>

#include <string>

class CRegistryLib;
namespace engine {
class RegistryApi;
}
namespace base {
class MessageBoxes;
}

// The open-file dialog for a backup file ("XML Files (*.xml)", then "All Files"), opening in the folder
// where fixes write their backups (the current directory). Empty when cancelled.
std::string AskForBackupFile(HWND owner);

// Writes the backup's entries back into the registry and moves its shortcuts back where they were (a file
// already present there is never replaced). True when the registry part succeeded.
bool RestoreBackup(CRegistryLib& engine, const std::string& backupFile);

// Both steps for the page, the restore off the window's thread with its progress and a Cancel. Before it
// writes, the user is asked once whether values that differ from the backup are replaced or kept. False
// when cancelled or when anything could not be restored (the shortcut folder included; each is said).
bool RestoreFromBackupFile(HWND owner);
bool RestoreFromBackupFile(HWND owner, engine::RegistryApi& registry, base::MessageBoxes& boxes);
// The same for a file already chosen.
bool RestoreFromBackupFile(HWND owner, const std::string& file, engine::RegistryApi& registry,
                           base::MessageBoxes& boxes);

// The question asked before a restore that would replace values changed since the backup.
std::string DifferingValuesQuestion(std::size_t differing);
