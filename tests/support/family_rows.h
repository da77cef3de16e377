#pragma once
// The results' registry rows in the order the scan gives them, written out by hand: what users see, checked
// against the engine's table rather than taken from it.
#include <string>
#include <vector>

namespace testsupport {

inline const std::vector<std::string> kRegistryRowNames = {"Invalid CLSID",
                                                           "Corrupt Help Files",
                                                           "Invalid Shared Tools",
                                                           "Corrupt Shared Files",
                                                           "Corrupt Fonts",
                                                           "Invalid Application Paths",
                                                           "Missing Startup Programs",
                                                           "Obsolete Software Entries",
                                                           "Invalid Type Libraries",
                                                           "Missing Sound Files",
                                                           "Obsolete MUI Cache Entries",
                                                           "Missing Installer Folders"};

} // namespace testsupport
