#pragma once
// The elements of a backup file: "k" for a key, "v" for a value, and the type names.
//
// A "v" element carries name, value (the text form) and type (omitted for REG_SZ and REG_NONE). Some
// values have no text form that gives their bytes back (a string without its NUL, a big-endian number,
// REG_NONE with data, an empty REG_BINARY, ...); for those, and only those, extra attributes follow:
// rawname (hex of a name that does not survive as text, or of a value literally named "(Default)"), raw
// (hex of the data bytes) and rawtype (the decimal type code). A "k" whose name does not survive as text
// gets a rawname in front of its name, and one that was a registry link on the path of a finding a
// link="1". Readers that do not know them ignore them and read the text form.
#include "backup/xml_element.h"

#include <windows.h>

#include <string>
#include <vector>

inline constexpr char kKeyElement[] = "k";
inline constexpr char kValueElement[] = "v";
inline constexpr char kRootElement[] = "registry";

// Type name as written to the "type" attribute, and back (any case; unknown texts give REG_SZ).
std::string StringFromValueType(DWORD type);
DWORD TypeFromString(const std::string& text);

// One value as it is in the registry.
struct BackupValue {
    bool unnamed = false; // the key's default value, written as "(Default)"
    std::string name;
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
    std::string text; // the text form (ConvertToString)
};

// The attributes of one "v" element collected while reading, in file order.
struct PendingValue {
    std::string name;
    std::string text;
    std::string typeText;
    std::string rawName;
    std::string raw;
    std::string rawType;
    bool hasRawName = false;
    bool hasRaw = false;
    bool hasRawType = false;

    void Clear() { *this = PendingValue(); }
};

// The value to set for a pending value: its name (empty with `unnamed` for the default value), type and
// bytes. False when the element holds nothing that can be set.
struct RestoredValue {
    bool unnamed = false;
    std::string name;
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
};
bool DecodePendingValue(const PendingValue& pending, RestoredValue& value);

// True when a text read back from an attribute is the text that was written.
bool TextSurvivesAttribute(const std::string& text);

// A "k" element; `link` marks a key that was a registry link on the path to the finding ("link" ahead of
// "name", so that a reader knows it when the name opens the key).
CXmlElement KeyElement(const std::string& name, bool link = false);
CXmlElement ValueElement(const BackupValue& value);

// Lower-case hex of the bytes, no separators; the reverse accepts either case and fails on anything else.
std::string HexOf(const std::string& bytes);
std::string HexOf(const std::vector<BYTE>& bytes);
bool BytesOfHex(const std::string& hex, std::string& bytes);
