#include "shortcut_test_support.h"

#include "engine/scan_events.h"
#include "shortcuts/long_path.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <stdexcept>

namespace shortcut_test {
namespace {

std::wstring Wide(const std::string& path) {
    const std::wstring wide = shortcuts::ExtendedPath(path);
    if (wide.empty()) {
        throw std::runtime_error("bad test path: " + path);
    }
    return wide;
}

void Put32(std::vector<BYTE>& bytes, DWORD value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
    }
}

// The fixed 76-byte header of a shell link file.
std::vector<BYTE> LinkHeader(DWORD flags) {
    std::vector<BYTE> bytes;
    Put32(bytes, 0x4C);
    const BYTE clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    bytes.insert(bytes.end(), clsid, clsid + 16);
    Put32(bytes, flags);
    Put32(bytes, FILE_ATTRIBUTE_ARCHIVE);
    for (int i = 0; i < 6; ++i) {
        Put32(bytes, 0); // three file times
    }
    Put32(bytes, 0); // file size
    Put32(bytes, 0); // icon index
    Put32(bytes, SW_SHOWNORMAL);
    Put32(bytes, 0); // hot key and reserved
    Put32(bytes, 0);
    Put32(bytes, 0);
    return bytes;
}

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using LinkPtr = std::unique_ptr<IShellLinkA, Releaser>;

LinkPtr NewLink() {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        throw std::runtime_error("no shell link object");
    }
    return LinkPtr(link);
}

void SaveShellLink(const std::string& linkPath, IShellLinkA& link) {
    IPersistFile* raw = nullptr;
    if (FAILED(link.QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&raw)))) {
        throw std::runtime_error("no IPersistFile");
    }
    const std::unique_ptr<IPersistFile, Releaser> file(raw);
    if (FAILED(file->Save(Wide(linkPath).c_str(), TRUE))) {
        throw std::runtime_error("cannot save " + linkPath);
    }
}

std::string g_stopStatus;
int g_stopCount = 0;

} // namespace

char AbsentDriveLetter() {
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Q'; letter >= 'D'; --letter) {
        if ((used & (1u << (letter - 'A'))) == 0) {
            return letter;
        }
    }
    throw std::runtime_error("no free drive letter");
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolders(const std::string& path) {
    if (!shortcuts::CreateFolderTree(Wide(path))) {
        throw std::runtime_error("cannot create " + path);
    }
}

void EmptyFolder(const std::string& folder) {
    const std::wstring root = Wide(folder + "\\");
    // Files and symlinks go at once; real folders are emptied first (an explicit stack, deepest last).
    std::vector<std::wstring> pending{root.substr(0, root.size() - 1)};
    std::vector<std::wstring> folders;
    while (!pending.empty()) {
        const std::wstring current = pending.back();
        pending.pop_back();
        WIN32_FIND_DATAW entry{};
        const HANDLE find = FindFirstFileW((current + L"\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = current + L"\\" + name;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                RemoveDirectoryW(path.c_str()) || DeleteFileW(path.c_str());
            } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                pending.push_back(path);
                folders.push_back(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        SetFileAttributesW(it->c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(it->c_str());
    }
}

void RemoveTree(const std::string& folder) {
    EmptyFolder(folder);
    RemoveDirectoryW(Wide(folder).c_str());
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot write " + path);
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<BYTE> ReadBytes(const std::string& path) {
    const HANDLE file =
        CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::vector<BYTE> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void SaveLink(const std::string& linkPath, const std::string& target) {
    const LinkPtr link = NewLink();
    link->SetPath(target.c_str());
    SaveShellLink(linkPath, *link);
}

void SaveBrokenLink(const std::string& linkPath) {
    const std::string target = linkPath + ".target.exe";
    WriteBytes(target, {'M', 'Z'});
    SaveLink(linkPath, target);
    DeleteFileW(Wide(target).c_str());
}

void SaveShellLocationLink(const std::string& linkPath) {
    const LinkPtr link = NewLink();
    LPITEMIDLIST computer = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    link->SetIDList(computer);
    CoTaskMemFree(computer);
    SaveShellLink(linkPath, *link);
}

std::vector<BYTE> LinkFileWithLocalPath(const std::string& target) {
    std::vector<BYTE> bytes = LinkHeader(0x02); // HasLinkInfo
    std::vector<BYTE> volume;
    Put32(volume, 0x11);        // size
    Put32(volume, DRIVE_FIXED); // drive type
    Put32(volume, 0x1234);      // serial number
    Put32(volume, 0x10);        // label offset
    volume.push_back(0);        // empty label
    const DWORD headerSize = 0x1C;
    const DWORD pathOffset = headerSize + static_cast<DWORD>(volume.size());
    const DWORD suffixOffset = pathOffset + static_cast<DWORD>(target.size()) + 1;
    Put32(bytes, suffixOffset + 1); // link info size
    Put32(bytes, headerSize);
    Put32(bytes, 1); // volume id and local base path
    Put32(bytes, headerSize);
    Put32(bytes, pathOffset);
    Put32(bytes, 0); // no network part
    Put32(bytes, suffixOffset);
    bytes.insert(bytes.end(), volume.begin(), volume.end());
    bytes.insert(bytes.end(), target.begin(), target.end());
    bytes.push_back(0);
    bytes.push_back(0); // empty common path suffix
    Put32(bytes, 0);    // end of extra data
    return bytes;
}

std::vector<BYTE> AdvertisedLinkFile() {
    std::vector<BYTE> bytes = LinkHeader(0x1000 | 0x80); // HasDarwinID, IsUnicode
    const std::string descriptor = "w_1^VX!!!!!!!!!MKKSkEXAMPLE>Xm!8Kfc-xyz{00000000}";
    Put32(bytes, 0x314);      // block size
    Put32(bytes, 0xA0000006); // Darwin block signature
    std::vector<BYTE> ansi(260, 0);
    std::copy(descriptor.begin(), descriptor.end(), ansi.begin());
    bytes.insert(bytes.end(), ansi.begin(), ansi.end());
    std::vector<BYTE> wide(520, 0);
    for (size_t i = 0; i < descriptor.size(); ++i) {
        wide[2 * i] = static_cast<BYTE>(descriptor[i]);
    }
    bytes.insert(bytes.end(), wide.begin(), wide.end());
    Put32(bytes, 0);
    return bytes;
}

std::vector<ProgressCall>& Progress() {
    static std::vector<ProgressCall> calls;
    return calls;
}

void StopAfter(const std::string& status, int count) {
    g_stopStatus = status;
    g_stopCount = count;
}

void RecordProgress(std::string item, std::string status, int scanned, int found) {
    Progress().push_back({item, status, scanned, found});
    if (!g_stopStatus.empty() && status == g_stopStatus && --g_stopCount == 0) {
        RequestStop();
    }
}

} // namespace shortcut_test
