#pragma once
// Where the window keeps its backups: %LOCALAPPDATA%\Orvalin\Backups. The folder the program was started
// from may be Program Files (not writable for a standard user) or System32 (an elevated console's).
#include <string>

// "<local application data>\Orvalin\Backups\"; empty when Windows names no such folder.
std::string WindowBackupFolder();

// The path of a new fix's backup in `folder` (created when missing), or in the current directory when
// `folder` is empty. A folder that cannot be created still gives its path: the fix then refuses to start,
// saying the backup cannot be written, rather than writing it somewhere unexpected.
std::string BackupPathIn(const std::string& folder);
