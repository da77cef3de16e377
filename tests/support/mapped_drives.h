#pragma once
// A file system for path judgements whose drives are folders of the test prefix: "C:\Windows\x.dll" is
// looked up as "<root>\C\Windows\x.dll". Mapped drives answer as fixed drives, every other letter as absent;
// the environment is a fixed table standing for a 64-bit Windows with its user "User".
#include "engine/path_judgement.h"

#include <string>

namespace testsupport {

class MappedDrives final : public engine::FileSystemApi {
public:
    // `root` is an existing folder; `letters` the drives it stands for (upper case), a folder each.
    MappedDrives(std::string root, std::string letters);

    // The host path for a drive path "X:\..." of a mapped drive; empty for any other text.
    std::string Host(const std::string& path) const;
    // Creates the file (and its folders) that a drive path names; false when it cannot.
    bool Create(const std::string& path) const;
    // Removes everything below the root.
    void Clear() const;
    // The text with every variable of the table expanded (names in any case); unknown ones stay.
    static std::string ExpandTable(const std::string& text);

    DWORD Attributes(const std::string& path, DWORD* error) override;
    UINT DriveType(const std::string& root) override;
    bool Expand(const std::string& text, std::string* expanded) override;
    bool Search(const std::string& name, std::string* found, DWORD* error) override;
    std::string FontsFolder() override { return "C:\\Windows\\Fonts"; }

private:
    std::string m_root;
    std::string m_letters;
};

} // namespace testsupport
