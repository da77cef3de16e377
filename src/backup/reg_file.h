#pragma once
// A backup's keys and values as a "Windows Registry Editor Version 5.00" file, the form registry editors
// import: UTF-16LE text with its byte-order mark, CR LF line ends, one "[key]" block per key.
#include "backup/backup_entries.h"

#include <string>
#include <vector>

// What ends up in the file, and what its format cannot carry.
struct RegFileText {
    std::wstring text; // without the byte-order mark
    std::size_t keyCount = 0;
    std::size_t valueCount = 0;
    // Keys whose name holds a line break: a "[key]" line cannot name them. Their values are left out too.
    std::vector<std::string> leftOut;
};

// The whole file. A key gets its block when it has values or no subkeys; the keys above it are created by
// its block, as the restore creates them. A key that occurs several times gets a block each time.
RegFileText BuildRegFile(const BackupContents& contents);

// One value as its line(s), without the final CR LF: @= for the unnamed value, "name"= otherwise, then
// "text" for a plain REG_SZ, dword:xxxxxxxx for a four-byte REG_DWORD and hex(N):aa,bb,... (hex: for
// REG_BINARY) for everything else, wrapped with ",\" and two spaces where the line reaches 80 columns.
// The string types hold the UTF-16 form of their bytes, as the registry stores what the restore writes.
std::wstring RegValueLines(const RestoredValue& value);

// A name or a REG_SZ text inside double quotes: \ and " escaped (and a line break as \r or \n, which only
// a name can hold here).
std::wstring QuotedRegString(const std::wstring& text);

// Text of the active code page as UTF-16, unit for unit as the registry's ANSI calls convert it; NULs kept.
std::wstring WideOfAnsi(const std::string& text);

// Writes the byte-order mark and the text; false when the file could not be written whole.
bool WriteRegFile(const std::string& path, const std::wstring& text);
