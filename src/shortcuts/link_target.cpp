#include "shortcuts/link_target.h"

#include "base/com.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <array>
#include <cctype>
#include <utility>
#include <vector>

namespace shortcuts {
namespace {

bool IsAdvertised(IShellLinkA& link) {
    base::ComPtr<IShellLinkDataList> data;
    if (FAILED(link.QueryInterface(IID_IShellLinkDataList, data.PutVoid())) || data.Get() == nullptr) {
        return false;
    }
    DWORD flags = 0;
    return SUCCEEDED(data->GetFlags(&flags)) && (flags & SLDF_HAS_DARWINID) != 0;
}

// The shell's link object with a shortcut file loaded, or an empty reference.
void LoadLink(const std::string& shortcutPath, base::ComPtr<IShellLinkA>& link, HRESULT& hr) {
    hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
    if (FAILED(hr)) {
        return;
    }
    base::ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr)) {
        return;
    }
    std::array<wchar_t, MAX_PATH> widePath{};
    if (MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, widePath.data(), MAX_PATH) == 0) {
        hr = HRESULT_FROM_WIN32(GetLastError());
        return;
    }
    hr = file->Load(widePath.data(), STGM_READ);
}

} // namespace

LinkTarget ReadLinkTarget(const std::string& shortcutPath) {
    LinkTarget result;
    base::ComPtr<IShellLinkA> link;
    LoadLink(shortcutPath, link, result.hr);
    if (FAILED(result.hr) || IsAdvertised(*link.Get())) {
        return result;
    }
    // Room beyond MAX_PATH shows a target that does not fit: GetPath fills a short buffer without a NUL.
    std::array<char, 4 * MAX_PATH> target{};
    WIN32_FIND_DATAA unused{};
    result.hr = link->GetPath(target.data(), static_cast<int>(target.size()), &unused, SLGP_SHORTPATH);
    target.back() = '\0';
    const std::string path(target.data());
    // S_FALSE or an empty path: the shortcut names a shell location, not a file.
    if (result.hr == S_OK && !path.empty() && path.size() < MAX_PATH) {
        result.hasPath = true;
        result.path = path;
    }
    return result;
}

char TargetDriveLetter(const std::string& path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return 0;
    }
    const unsigned char letter = static_cast<unsigned char>(path[0]);
    if (letter > 0x7F || std::isalpha(letter) == 0) {
        return 0;
    }
    return static_cast<char>(std::toupper(letter));
}

bool ExpandTargetText(const std::string& text, std::string& expanded) {
    expanded = text;
    if (text.find('%') != std::string::npos) {
        std::vector<char> buffer(text.size() + MAX_PATH);
        DWORD needed =
            ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (needed > buffer.size()) {
            buffer.resize(needed);
            needed =
                ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        }
        if (needed == 0 || needed > buffer.size()) {
            return false;
        }
        expanded.assign(buffer.data());
    }
    // A reference left unexpanded, or a colon past the drive letter ("C:\%SystemRoot%\x" as Wine writes it).
    return expanded.find('%') == std::string::npos && expanded.find(':', 2) == std::string::npos;
}

bool ShellFindsTarget(const std::string& shortcutPath, WORD timeoutMs) {
    base::ComPtr<IShellLinkA> link;
    HRESULT hr = E_FAIL;
    LoadLink(shortcutPath, link, hr);
    if (FAILED(hr) || link.Get() == nullptr) {
        return false;
    }
    const DWORD flags = SLR_NO_UI | SLR_NOUPDATE | (static_cast<DWORD>(timeoutMs) << 16);
    if (link->Resolve(nullptr, flags) != S_OK) {
        return false;
    }
    std::array<char, 4 * MAX_PATH> target{};
    WIN32_FIND_DATAA unused{};
    if (link->GetPath(target.data(), static_cast<int>(target.size()), &unused, 0) != S_OK) {
        return false;
    }
    target.back() = '\0';
    std::string path;
    return ExpandTargetText(target.data(), path) && !path.empty() &&
           GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace shortcuts
