#pragma once
// Registry value data as text and back, and the escaping used for backup file attributes.
// Texts are byte strings in the active ANSI code page; UTF-8 appears only in backup files.
#include <windows.h>

#include <memory>
#include <string>

// The text form of registry data (hex bytes, "0x... (n)" numbers, strings, lists joined by CR LF).
// Reads at most `size` bytes of `data`, whatever the type claims; missing bytes of a short number read as 0.
std::string ConvertToString(DWORD type, const BYTE* data, DWORD size);

// The bytes that a text of ConvertToString stands for. Sets *data to a new buffer and *size to its byte
// count, or null and 0 for types that have no text form here (REG_NONE, REG_LINK, ...). Does nothing when
// either output is null. Never reads past the text; short numbers are read as if zero-padded on the left.
void ConvertFromString(const std::string& text, DWORD type, std::unique_ptr<BYTE[]>* data, DWORD* size);

// Two hex digits as a byte; a character that is not a hex digit counts with its own character code.
BYTE HexPairToByte(char high, char low);

// Active code page to UTF-8, and back (characters the code page lacks become its default character).
std::string UTF8Conversion(const std::string& text);
std::string FromUTF8Conversion(const std::string& text);

// Text for a backup file attribute: &, " and < escaped, then UTF-8. GetUnescapedXmlString is its inverse.
std::string GetEscapedXmlString(const std::string& text);
std::string GetUnescapedXmlString(const std::string& text);
