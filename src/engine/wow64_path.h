#pragma once
// How a 32-bit program reads a path that a 32-bit registration holds. This 64-bit program sees no
// file-system redirection, so a 32-bit server's "System32" and "%ProgramFiles%" must be turned into the
// folders a 32-bit process would reach before its file is tested.
#include <string>

namespace engine {

// The text with every 32-bit reading made explicit: the System32 folder of the Windows folder (written out or
// as %SystemRoot% / %windir%) becomes SysWOW64, %ProgramFiles% and %CommonProgramFiles% their (x86) forms,
// and a bare file name (no folder, no variable) is placed in SysWOW64. `windowsDir` is the Windows folder
// ("C:\windows"); an empty `wow64Dir` means the system has no 32-bit side and the text is returned as it is.
std::string ThirtyTwoBitReading(const std::string& text, const std::string& windowsDir,
                                const std::string& wow64Dir);

// The SysWOW64 folder of this system, or "" when it has none.
std::string SystemWow64Directory();

} // namespace engine
