#pragma once
// Paths the tests need, as Windows paths that work inside the test prefix.
#include <string>

namespace testsupport {

// A path below the source tree, e.g. SourcePath("skin\\Skin.ini"), reached through the host drive Z:.
std::string SourcePath(const std::string& relative);

// A path below the build tree (same form).
std::string BinaryPath(const std::string& relative);

// A fresh, empty folder for one test below the build's test-work folder; its name is unique per call.
std::string MakeTempFolder(const std::string& hint);

// A name unique in this process run, for registry keys that tests create and remove.
std::string UniqueName(const std::string& hint);

} // namespace testsupport
