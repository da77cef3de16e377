#include "support/registry_snapshot.h"

#include <algorithm>

namespace testsupport {
namespace {

void Collect(HKEY key, const std::wstring& path, RegistrySnapshot& out) {
    std::vector<std::wstring>& lines = out[path];
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(256 * 1024);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring line = std::wstring(name.data(), nameLength) + L"|" + std::to_wstring(type) + L"|" +
                            std::wstring(reinterpret_cast<const wchar_t*>(data.data()), size / 2);
        if (size % 2 != 0) {
            line += L"|" + std::to_wstring(data[size - 1]);
        }
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end());
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::wstring child(name.data(), length);
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Collect(sub, path + L"\\" + child, out);
            RegCloseKey(sub);
        }
    }
}

} // namespace

RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::wstring& path) {
    RegistrySnapshot snapshot;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        Collect(key, L"", snapshot);
        RegCloseKey(key);
    }
    return snapshot;
}

RegistrySnapshot TakeRegistrySnapshot(HKEY root, const std::string& path) {
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    return TakeRegistrySnapshot(root, wide);
}

} // namespace testsupport
