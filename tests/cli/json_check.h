#pragma once
// A strict JSON syntax check for the console tool's tests: true when `text` is exactly one JSON value
// (surrounding white space allowed) and every string is valid UTF-8 without raw control characters.
#include <string>

namespace testjson {

bool IsValidJson(const std::string& text);

} // namespace testjson
