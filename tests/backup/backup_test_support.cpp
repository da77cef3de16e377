#include "backup/backup_test_support.h"

#include "backup/backup_format.h"

#include "support/test_paths.h"

#include <algorithm>

namespace backuptest {

void AddKeyFinding(CRegistryLib& engine, const std::string& category, const std::string& keyPath) {
    auto finding = std::make_unique<CRegErrorLog>();
    finding->SetKeyPath(keyPath);
    finding->SetCategory(category);
    finding->SetKind(kKindKey);
    engine.m_arrErrorLog.push_back(std::move(finding));
}

void AddValueFinding(CRegistryLib& engine, const std::string& category, const std::string& keyPath,
                     const std::string& valueName, const std::string& text, DWORD type) {
    auto value = std::make_unique<CRegValue>();
    value->m_strName = valueName;
    value->m_strData = text;
    value->m_dwType = type;
    auto finding = std::make_unique<CRegErrorLog>();
    finding->SetValue(std::move(value));
    finding->SetKeyPath(keyPath);
    finding->SetCategory(category);
    finding->SetKind(kKindValue);
    engine.m_arrErrorLog.push_back(std::move(finding));
}

ScanErrorList FiveRows() {
    ScanErrorList rows;
    for (const char* description : {kDescriptionCLSID, kDescriptionHelp, kDescriptionSharedTools,
                                    kDescriptionSharedFiles, kDescriptionFonts}) {
        auto row = std::make_unique<CScanError>();
        row->m_strDescription = description;
        rows.push_back(std::move(row));
    }
    return rows;
}

int FixedOf(const ScanErrorList& rows, const char* description) {
    for (const auto& row : rows) {
        if (row->m_strDescription == description) {
            return row->m_nFixed;
        }
    }
    return -1000;
}

int RefusedOf(const ScanErrorList& rows, const char* description) {
    for (const auto& row : rows) {
        if (row->m_strDescription == description) {
            return row->m_nRefused;
        }
    }
    return -1000;
}

namespace {

void Walk(engine::RegistryApi& registry, HKEY key, const std::string& path, Snapshot& snapshot) {
    std::vector<std::string>& lines = snapshot[path];
    std::vector<char> name(16384);
    std::vector<BYTE> data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (registry.EnumValue(key, i, name.data(), &nameLength, &type, data.data(), &size) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string shown = nameLength == 0 ? "<unnamed>" : std::string(name.data(), nameLength);
        lines.push_back(shown + "|" + std::to_string(type) + "|" +
                        HexOf(std::vector<BYTE>(data.begin(), data.begin() + size)));
    }
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char child[512];
        DWORD length = sizeof child;
        if (registry.EnumKeyEx(key, i, child, &length) != ERROR_SUCCESS) {
            break;
        }
        children.emplace_back(child, length);
    }
    for (const std::string& child : children) {
        HKEY sub = nullptr;
        if (registry.OpenKey(key, child.c_str(), &sub) == ERROR_SUCCESS) {
            Walk(registry, sub, path + "\\" + child, snapshot);
            registry.CloseKey(sub);
        } else {
            snapshot[path + "\\" + child].push_back("<unreadable>");
        }
    }
}

} // namespace

Snapshot TakeSnapshot(engine::RegistryApi& registry, HKEY root, const std::string& path) {
    Snapshot snapshot;
    HKEY key = nullptr;
    if (registry.OpenKey(root, path.c_str(), &key) != ERROR_SUCCESS) {
        return snapshot;
    }
    Walk(registry, key, std::string(), snapshot);
    registry.CloseKey(key);
    return snapshot;
}

} // namespace backuptest
