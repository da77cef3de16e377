#include "shortcuts/shortcut.h"

#include "base/com.h"
#include "base/unique_handle.h"
#include "shortcuts/link_target.h"
#include "shortcuts/shortcut_backup.h"
#include "shortcuts/walk_limits.h"

#include <cctype>
#include <utility>

namespace {

// "\*.*" is the longest text appended to a folder path before it reaches the file system.
constexpr size_t kPatternLength = 4;

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Directories, junctions and symlinks to directories (reparse points) are never descended into: they
// may lead back into the tree and make the walk endless. Cloud placeholders are not opened, and the
// shortcut folders kept beside earlier backups belong to those backups.
bool IsWalkableFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && !IsDotEntry(entry.cFileName) &&
           !shortcuts::IsCloudPlaceholder(entry.dwFileAttributes) &&
           !shortcuts::IsShortcutBackupFolderName(entry.cFileName);
}

bool HasLinkExtension(const char* name) {
    const std::string text(name);
    if (text.size() <= 4) {
        return false;
    }
    const std::string tail = text.substr(text.size() - 4);
    return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'l' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 'n' &&
           std::tolower(static_cast<unsigned char>(tail[3])) == 'k';
}

bool IsShortcutFile(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           !shortcuts::IsCloudPlaceholder(entry.dwFileAttributes) && HasLinkExtension(entry.cFileName);
}

// A folder whose enumeration pattern would not fit MAX_PATH cannot be read with the ANSI calls.
bool FolderFits(const std::string& folder) {
    return folder.size() + kPatternLength < MAX_PATH;
}

} // namespace

CShortcut::CShortcut() = default;
CShortcut::~CShortcut() = default;

void CShortcut::LimitToDrives(std::string letters) {
    for (char& c : letters) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    m_strDrives = std::move(letters);
}

bool CShortcut::DriveSelected(char letter) const {
    return m_strDrives.empty() || m_strDrives.find(letter) != std::string::npos;
}

UINT CShortcut::DriveType(char letter) {
    const size_t index = static_cast<size_t>(letter - 'A');
    if (!m_driveTypeKnown[index]) {
        const char root[] = {letter, ':', '\\', '\0'};
        m_driveTypes[index] = GetDriveTypeA(root);
        m_driveTypeKnown[index] = true;
    }
    return m_driveTypes[index];
}

void CShortcut::Report(const std::string& item, const char* status, int scanned, int found) const {
    if (m_pfnProgress != nullptr) {
        m_pfnProgress(item, status, scanned, found);
    }
}

void CShortcut::ScanLinkFile() {
    m_nLinksScanned = 0;
    m_nLinksFixed = 0;
    m_nLinksRefused = 0;
    m_nLinksFound = 0;
    m_arrMissingLinks.clear();
    m_driveTypeKnown.fill(false);
    m_judge.reset();
    if (StopRequested()) {
        return;
    }
    m_excludedFolders = shortcuts::ExcludedFolders();
    // One apartment for the whole scan; ResolveShortCut's own is then only a reference count.
    const base::ComScope com;
    char drives[MAX_PATH + 1] = {};
    const DWORD length = GetLogicalDriveStringsA(MAX_PATH, drives);
    if (length == 0 || length > MAX_PATH) {
        return;
    }
    for (const char* root = drives; *root != '\0'; root += std::char_traits<char>::length(root) + 1) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
        if (letter < 'A' || letter > 'Z' || !DriveSelected(letter) || DriveType(letter) != DRIVE_FIXED) {
            continue;
        }
        // Links found outside the prefix belong to other systems and name their files, not this one's.
        if (m_strDrives.empty() && shortcuts::DriveLeavesWinePrefix(letter)) {
            continue;
        }
        RecurseFolder(std::string{root[0], root[1]});
        if (StopRequested()) {
            return;
        }
    }
}

// The walk keeps its own stack of folders instead of recursing, so no tree is too deep for it. Each
// folder is listed once: its shortcuts are examined and its subfolders remembered, then the
// subfolders are visited in enumeration order, each one's whole subtree before the next sibling.
void CShortcut::RecurseFolder(const std::string& folder) {
    struct Frame {
        std::string path;
        std::vector<std::string> subfolders;
        size_t next = 0;
    };
    std::vector<Frame> stack;
    stack.push_back({folder, ListFolder(folder, false), 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.subfolders.size()) {
            stack.pop_back();
            continue;
        }
        if (StopRequested()) {
            return;
        }
        std::string child = top.path + "\\" + top.subfolders[top.next++];
        if (!FolderFits(child) || shortcuts::IsExcluded(child, m_excludedFolders)) {
            continue;
        }
        std::vector<std::string> grandchildren = ListFolder(child, true);
        Report(child, kStatusSearchingFolders, m_nLinksScanned, m_nLinksFound);
        stack.push_back({std::move(child), std::move(grandchildren), 0});
    }
}

void CShortcut::SearchLinkFileAndResolve(const std::string& folder) {
    ListFolder(folder, true);
}

std::vector<std::string> CShortcut::ListFolder(const std::string& folder, bool examineShortcuts) {
    std::vector<std::string> subfolders;
    if (!FolderFits(folder)) {
        return subfolders;
    }
    WIN32_FIND_DATAA entry{};
    const base::FindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
    if (!find) {
        return subfolders;
    }
    do {
        if (IsWalkableFolder(entry)) {
            subfolders.emplace_back(entry.cFileName);
        } else if (examineShortcuts && IsShortcutFile(entry)) {
            if (StopRequested()) {
                break;
            }
            const std::string path = folder + "\\" + entry.cFileName;
            if (path.size() < MAX_PATH) {
                ResolveShortCut(path);
            }
        }
    } while (FindNextFileA(find.Get(), &entry));
    return subfolders;
}

HRESULT CShortcut::ResolveShortCut(const std::string& path) {
    ++m_nLinksScanned;
    Report(path, kStatusScanningShortcuts, m_nLinksScanned, m_nLinksFound);
    const base::ComScope com;
    HRESULT hr = E_FAIL;
    if (TargetCertainlyMissing(path, hr)) {
        m_arrMissingLinks.push_back(path);
        ++m_nLinksFound;
    }
    return hr;
}

bool CShortcut::TargetCertainlyMissing(const std::string& path, HRESULT& hr) {
    const shortcuts::LinkTarget target = shortcuts::ReadLinkTarget(path);
    hr = target.hr;
    std::string file;
    // A link names its file by full path: a bare or relative target is not searched for, it cannot be judged.
    if (!target.hasPath || !shortcuts::ExpandTargetText(target.path, file) ||
        shortcuts::TargetDriveLetter(file) == 0) {
        return false;
    }
    // The same judgement of "missing" as every registry entry: a fixed drive that answers, and "file not
    // found" or "path not found" from the file test.
    if (!m_judge) {
        m_judge.emplace();
    }
    return m_judge->Judge(engine::Reference::Path, file) == engine::Verdict::Missing &&
           !shortcuts::ShellFindsTarget(path, kResolveTimeoutMs);
}

void CShortcut::FixLinkFile(const std::string& backupFile) {
    m_nLinksFixed = 0;
    m_nLinksRefused = 0;
    m_nLinksNoLongerBroken = 0;
    m_driveTypeKnown.fill(false); // the scan may lie hours back: drives come and go
    m_judge.reset();
    const base::ComScope com;
    for (const std::string& path : m_arrMissingLinks) {
        Report(path, kStatusFixingShortcuts, 0, 0);
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            continue; // gone meanwhile: nothing to move, nothing to count
        }
        // Judged again right before the move: the program may have been reinstalled since the scan.
        HRESULT hr = E_FAIL;
        if (shortcuts::IsCloudPlaceholder(attributes) || !TargetCertainlyMissing(path, hr)) {
            ++m_nLinksNoLongerBroken;
            continue;
        }
        if (shortcuts::MoveShortcutToBackup(backupFile, path)) {
            ++m_nLinksFixed;
        } else if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ++m_nLinksRefused; // still there: not a file that went away meanwhile
        }
    }
}
