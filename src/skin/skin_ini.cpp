#include "skin/skin_ini.h"

#include "base/program_folder.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace {

constexpr DWORD kValueBufferSize = 2048;
constexpr DWORD kKeyListBufferSize = 16384;

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

void Trim(std::string& text) {
    size_t begin = 0;
    while (begin < text.size() && IsSpace(text[begin])) {
        ++begin;
    }
    size_t end = text.size();
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    text = text.substr(begin, end - begin);
}

} // namespace

std::string GetFolder(const std::string& path) {
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char full[MAX_PATH * 3] = {};
    char* filePart = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, &filePart);
    if (length == 0 || length >= sizeof full) {
        return {};
    }
    std::string folder =
        filePart ? std::string(full, static_cast<size_t>(filePart - full)) : std::string(full);
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder + "\\";
}

std::string ChooseSkinFolder(const std::string& programFolder, const std::string& currentFolder) {
    const std::string beside = programFolder + "skin\\";
    if (!programFolder.empty() &&
        GetFileAttributesA((beside + "Skin.ini").c_str()) != INVALID_FILE_ATTRIBUTES) {
        return beside;
    }
    return currentFolder + "skin\\";
}

std::string ResolveSkinPath(const std::string& fileName) {
    const std::string current = GetFolder(fileName);
    return current.empty() ? std::string() : ChooseSkinFolder(base::ProgramFolder(), current) + fileName;
}

std::string CSkinIni::GetValue(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    std::string buffer(kValueBufferSize, '\0');
    const DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                  buffer.data(), kValueBufferSize, m_strPath.c_str());
    buffer.resize(copied < kValueBufferSize ? copied : kValueBufferSize - 1);
    return buffer;
}

bool CSkinIni::GetKeys(const std::string& section, std::vector<std::string>& keys) const {
    keys.clear();
    // Room for one more byte than the profile API is told, so the list always ends in two NULs.
    std::vector<char> buffer(kKeyListBufferSize + 1, '\0');
    const DWORD copied = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                  kKeyListBufferSize, m_strPath.c_str());
    const char* end = buffer.data() + (copied < kKeyListBufferSize ? copied : kKeyListBufferSize);
    for (const char* name = buffer.data(); name < end && *name; name += std::strlen(name) + 1) {
        keys.emplace_back(name);
    }
    return !keys.empty();
}

std::vector<std::string> CSkinIni::GetNumberedValues(const std::string& section) const {
    std::vector<std::string> keys;
    GetKeys(section, keys);
    std::vector<std::string> values;
    for (size_t n = 1; n <= keys.size(); ++n) {
        std::string value = GetValue(section, std::to_string(n), "");
        if (!value.empty()) {
            values.push_back(std::move(value));
        }
    }
    return values;
}

std::string NextField(std::string& text) {
    if (text.size() > kMaxFieldText) {
        // Never in the middle of a UTF-8 character: back off its continuation bytes.
        size_t cut = kMaxFieldText;
        while (cut > 0 && GetACP() == CP_UTF8 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        return text;
    }
    std::string field = text.substr(0, comma);
    text.erase(0, comma + 1);
    Trim(text);
    return field;
}

RECT NextRect(std::string& text) {
    const int x = FieldToInt(NextField(text));
    const int y = FieldToInt(NextField(text));
    const int width = FieldToInt(NextField(text));
    const int height = FieldToInt(NextField(text));
    const auto clampedSum = [](int a, int b) {
        return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
    };
    return RECT{x, y, clampedSum(x, width), clampedSum(y, height)};
}

int FieldToInt(const std::string& field) {
    // atoi's reading, with values beyond the int range held at its ends instead of overflowing.
    size_t i = 0;
    while (i < field.size() && IsSpace(field[i])) {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool FieldFlag(const std::string& field, char letter) {
    return !field.empty() && field.front() == letter;
}
