#include "backup/backup_format.h"

#include "engine/value_text.h"
#include "engine/records.h"

#include <memory>

namespace {

struct TypeName {
    DWORD type;
    const char* name;
};

// The names TypeFromString knows; every other text reads as REG_SZ.
constexpr TypeName kTypeNames[] = {
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_RESOURCE_LIST, "REG_RESOURCE_LIST"},
    {REG_RESOURCE_REQUIREMENTS_LIST, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {REG_QWORD, "REG_QWORD"},
};

bool EqualsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

// The bytes that the text form of a value gives back, as the restore reads it; false when it gives none.
bool TextFormData(const std::string& text, const std::string& typeText, DWORD& type,
                  std::vector<BYTE>& data) {
    type = TypeFromString(typeText);
    std::unique_ptr<BYTE[]> bytes;
    DWORD size = 0;
    ConvertFromString(text, type, &bytes, &size);
    if (!bytes || size == 0) {
        return false;
    }
    data.assign(bytes.get(), bytes.get() + size);
    return true;
}

bool ParseTypeCode(const std::string& text, DWORD& type) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    unsigned long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFull) {
        return false;
    }
    type = static_cast<DWORD>(value);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

template <typename Bytes> std::string Hex(const Bytes& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const auto b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0f];
    }
    return hex;
}

} // namespace

std::string StringFromValueType(DWORD type) {
    switch (type) {
    case REG_NONE:
        return std::string();
    case REG_SZ:
    case REG_LINK:
        return "REG_SZ";
    case REG_DWORD_BIG_ENDIAN:
        return "REG_DWORD";
    case REG_FULL_RESOURCE_DESCRIPTOR:
        return std::string();
    default:
        for (const TypeName& entry : kTypeNames) {
            if (entry.type == type) {
                return entry.name;
            }
        }
        return std::string();
    }
}

DWORD TypeFromString(const std::string& text) {
    for (const TypeName& entry : kTypeNames) {
        if (EqualsNoCase(text, entry.name)) {
            return entry.type;
        }
    }
    return REG_SZ;
}

bool TextSurvivesAttribute(const std::string& text) {
    // The reader splits lines at LF and puts CR LF back into a value that spans lines, so a LF without its CR
    // would come back as CR LF.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            return false;
        }
    }
    return GetUnescapedXmlString(GetEscapedXmlString(text)) == text;
}

CXmlElement KeyElement(const std::string& name) {
    CXmlElement element(kKeyElement);
    if (!TextSurvivesAttribute(name)) {
        element.AddAttribute("rawname", HexOf(name)); // ahead of "name", which opens the key when read
    }
    element.AddAttribute("name", GetEscapedXmlString(name));
    return element;
}

CXmlElement ValueElement(const BackupValue& value) {
    CXmlElement element(kValueElement);
    element.AddAttribute("name",
                         GetEscapedXmlString(value.unnamed ? std::string(kDefaultValueName) : value.name));
    element.AddAttribute("value", GetEscapedXmlString(value.text));
    std::string typeText;
    if (value.type != REG_SZ && value.type != REG_NONE) {
        typeText = StringFromValueType(value.type);
        element.AddAttribute("type", GetEscapedXmlString(typeText));
    }
    // The restore takes "(Default)" in any case for the unnamed value.
    if (!value.unnamed &&
        (EqualsNoCase(value.name, kDefaultValueName) || !TextSurvivesAttribute(value.name))) {
        element.AddAttribute("rawname", HexOf(value.name));
    }
    DWORD backType = REG_NONE;
    std::vector<BYTE> backData;
    const bool exact = TextSurvivesAttribute(value.text) &&
                       TextFormData(value.text, typeText, backType, backData) && backType == value.type &&
                       backData == value.data;
    if (!exact) {
        element.AddAttribute("raw", HexOf(value.data));
        element.AddAttribute("rawtype", std::to_string(value.type));
    }
    return element;
}

bool DecodePendingValue(const PendingValue& pending, RestoredValue& value) {
    value = RestoredValue();
    if (pending.hasRawName) {
        if (!BytesOfHex(pending.rawName, value.name)) {
            return false;
        }
        value.unnamed = value.name.empty();
    } else if (EqualsNoCase(pending.name, kDefaultValueName)) {
        value.unnamed = true;
    } else {
        value.name = pending.name;
    }
    if (pending.hasRaw || pending.hasRawType) {
        std::string bytes;
        if (!pending.hasRaw || !pending.hasRawType || !BytesOfHex(pending.raw, bytes) ||
            !ParseTypeCode(pending.rawType, value.type)) {
            return false;
        }
        value.data.assign(bytes.begin(), bytes.end());
        return true;
    }
    return TextFormData(pending.text, pending.typeText, value.type, value.data);
}

std::string HexOf(const std::string& bytes) {
    return Hex(bytes);
}

std::string HexOf(const std::vector<BYTE>& bytes) {
    return Hex(bytes);
}

bool BytesOfHex(const std::string& hex, std::string& bytes) {
    bytes.clear();
    if (hex.size() % 2 != 0) {
        return false;
    }
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}
