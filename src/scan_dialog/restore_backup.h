#pragma once
// Restore from a fix's backup, as the main page's Restore button does it: the open-file dialog, then the
// registry entries of the backup file and the shortcuts the same fix moved aside.
#include <windows.h>

#include <string>

class CRegistryLib;

// The open-file dialog for a backup file ("XML Files (*.xml)", then "All Files"), opening in the folder
// where fixes write their backups (the current directory). Empty when cancelled.
std::string AskForBackupFile(HWND owner);

// Writes the backup's entries back into the registry and moves its shortcuts back where they were (a file
// already present there is never replaced). True when the registry part succeeded.
bool RestoreBackup(CRegistryLib& engine, const std::string& backupFile);

// Both steps for the page: false when cancelled or when the registry could not be restored.
bool RestoreFromBackupFile(HWND owner);
