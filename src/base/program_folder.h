#pragma once
// Where the program's own files are: the folder of the running program file, whatever folder it was
// started from (a Start-menu shortcut, a console in System32, a scheduled task).
#include <windows.h>

#include <string>

namespace base {

// The folder of the running program file with one trailing backslash; empty when it cannot be read.
std::string ProgramFolder();

// Creates `folder` and every missing folder above it; true when it exists afterwards.
bool CreateFolderTree(const std::string& folder);

// Loads a library of Windows from the System folder only, never from the program's or the current folder,
// where a planted copy would run with the program's rights. Null when it is not there.
HMODULE LoadSystemLibrary(const char* name);

} // namespace base
