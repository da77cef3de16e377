#pragma once
// Wide "\\?\" paths for the file moves of the shortcut backup, which may go deeper than MAX_PATH.
#include <string>

namespace shortcuts {

// A path in the active code page, made absolute and given the "\\?\" (or "\\?\UNC\") prefix. Empty when
// it cannot be converted or names a device.
std::wstring ExtendedPath(const std::string& path);

// A wide path (with or without the "\\?\" prefix) back in the active code page, without the prefix.
std::string NarrowPath(const std::wstring& path);

// Creates a folder given as an extended path, and every missing folder above it. True when the folder
// exists afterwards.
bool CreateFolderTree(const std::wstring& folder);

// The folder part of an extended path (everything before the last backslash).
std::wstring ParentFolder(const std::wstring& path);

enum class MoveResult {
    Moved,  // the file is at the new place only
    Copied, // the file is at both places: a move across volumes copied it but could not delete the source
    Failed, // nothing changed (the new place is never overwritten)
};
// Across volumes the file is copied under `to` + kPartialCopySuffix first and renamed when whole.
MoveResult MoveFileNoReplace(const std::wstring& from, const std::wstring& to);
inline constexpr wchar_t kPartialCopySuffix[] = L".partial";

} // namespace shortcuts
