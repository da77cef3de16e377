#pragma once
// Reading the skin file: where it is, its values, and the comma-separated fields inside a value.
#include <windows.h>

#include <string>
#include <vector>

// The folder of `path` as a full path with exactly one trailing backslash ("Skin.ini" gives the current
// directory). An empty string when the path cannot be resolved.
std::string GetFolder(const std::string& path);

// The skin folder ("...\skin\"): the one beside the program file when it holds Skin.ini, so the program
// works from any starting folder; otherwise the one below `currentFolder`, as before installation.
std::string ChooseSkinFolder(const std::string& programFolder, const std::string& currentFolder);

// A file of the skin: ChooseSkinFolder(program's folder, GetFolder(fileName)) + fileName.
std::string ResolveSkinPath(const std::string& fileName);

// Reader of one skin file through the profile API. Holds only the path; cheap to copy.
class CSkinIni {
public:
    explicit CSkinIni(std::string path) : m_strPath(std::move(path)) {}

    const std::string& Path() const { return m_strPath; }

    // The value of `key` in `section` (at most 2047 characters), or `defaultValue` when the key is missing.
    std::string GetValue(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;

    // Replaces `keys` with the names of the section's keys in file order; true when there is at least one.
    bool GetKeys(const std::string& section, std::vector<std::string>& keys) const;

    // The non-empty values of a numbered section: keys "1" to "N", N being the section's number of keys,
    // in that order. Missing or empty keys are skipped; keys above N are never read.
    std::vector<std::string> GetNumberedValues(const std::string& section) const;

private:
    std::string m_strPath;
};

// The longest text NextField works on; longer rests are cut to this length.
inline constexpr size_t kMaxFieldText = 255;

// Takes the next field off the front of `text`: everything before the first comma. The field and the comma
// are removed and the rest is trimmed at both ends; the field itself is returned untrimmed. Without a comma
// the whole text is the field and `text` stays as it is, so the last field repeats.
std::string NextField(std::string& text);

// Four fields x, y, width, height as the rectangle (x, y, x + width, y + height).
RECT NextRect(std::string& text);

// A number field with atoi's rules: leading white space, optional sign, decimal digits; anything else 0.
int FieldToInt(const std::string& field);

// A flag field: true when its first character is `letter` (capital T for the flags of the skin file).
bool FieldFlag(const std::string& field, char letter = 'T');
