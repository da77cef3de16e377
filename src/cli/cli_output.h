#pragma once
// Small output helpers shared by the console commands.
#include <string>

namespace cli {

// Prints "orvalin-cli: <message>" on stderr.
void PrintError(const std::string& message);

// Prints a usage error on stderr and returns the usage exit code.
int UsageError(const std::string& message);

// A JSON string literal (with quotes) for a text in the active code page; the output is UTF-8.
std::string JsonString(const std::string& text);

} // namespace cli
