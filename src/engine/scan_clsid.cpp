// The COM class scan: every class under HKEY_CLASSES_ROOT\CLSID whose server files are all missing.
#include "engine/exact_text.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"

namespace {

constexpr char kClsidKeyPath[] = "HKEY_CLASSES_ROOT\\CLSID";
constexpr char kStatus[] = "Scanning CLSID";

} // namespace

void CRegistryLib::ScanRegistryCLSID(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    std::string subKey = kClsidKeyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle clsidKey(m_registry);
    if (OpenKey(root, subKey, clsidKey.Receive()) == ERROR_SUCCESS) {
        DWORD longestName = 0;
        if (m_registry.QueryInfoKey(clsidKey.Get(), nullptr, &longestName, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        engine::SubKeyReader classes(m_registry, clsidKey.Get(), longestName);
        for (DWORD i = 0; !m_stop(); ++i) {
            if (classes.Read(i) != ERROR_SUCCESS) {
                break;
            }
            if (classes.Length() != 0) {
                ScanClassKey(clsidKey.Get(), classes.Name(), counts);
            }
        }
    }
    AppendRow(errors, kDescriptionCLSID, counts);
}

// A class is recorded only when none of its server keys names an existing file: one working server (an
// InprocServer32 beside a dead 16-bit InprocServer, say) keeps the class in use. A class that could not be
// judged completely (a server key or value that cannot be read, a stop in the middle) is not recorded either.
void CRegistryLib::ScanClassKey(HKEY clsidKey, const char* className, Counts& counts) {
    engine::KeyHandle classKey(m_registry);
    if (m_registry.OpenKey(clsidKey, className, classKey.Receive()) != ERROR_SUCCESS) {
        return;
    }
    DWORD subKeys = 0;
    DWORD longestName = 0;
    if (m_registry.QueryInfoKey(classKey.Get(), &subKeys, &longestName, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS ||
        subKeys == 0) {
        return;
    }

    // Servers whose file is missing, each with the ProgID texts read for it; recorded only at the end.
    struct DeadServer {
        std::unique_ptr<CRegValue> record;
        std::vector<std::string> progIds;
    };
    std::vector<DeadServer> dead;
    bool anyServerWorks = false;
    bool judged = true;
    engine::SubKeyReader children(m_registry, classKey.Get(), longestName);
    for (DWORD j = 0;; ++j) {
        if (m_stop()) {
            judged = false;
            break;
        }
        const LONG rc = children.Read(j);
        if (rc != ERROR_SUCCESS) {
            judged = judged && rc == ERROR_NO_MORE_ITEMS;
            break;
        }
        if (children.Length() == 0 || !engine::IsServerKey(children.Name())) {
            continue;
        }
        engine::KeyHandle serverKey(m_registry);
        if (m_registry.OpenKey(classKey.Get(), children.Name(), serverKey.Receive()) != ERROR_SUCCESS) {
            judged = false;
            continue;
        }
        RegValueList values;
        if (AddRegistryValues(serverKey.Get(), values) != ERROR_SUCCESS) {
            judged = false;
        }
        for (auto& record : values) {
            if (record->m_strName != kDefaultValueName) {
                continue;
            }
            ++counts.scanned;
            if (record->m_strData == kValueNotSet) {
                continue;
            }
            const engine::Verdict verdict =
                Judge().Judge(engine::ServerReference(children.Name()), record->m_strData);
            if (verdict == engine::Verdict::CannotJudge) {
                judged = false;
            } else if (verdict == engine::Verdict::Missing) {
                // The ProgID is read and counted for every missing server, whether the class is recorded or
                // not.
                dead.push_back({std::move(record), ReadProgIds(classKey.Get(), counts)});
            } else {
                anyServerWorks = true;
            }
            Progress(Judge().TestedPath(), kStatus, counts);
        }
    }
    // A class is deleted with its whole subtree: every text in it must be exact.
    if (anyServerWorks || !judged || !engine::KeyTextExact(m_registry, classKey.Get(), true)) {
        return;
    }

    // No server of this class works: each missing server gives its finding, and the ProgID its own.
    for (auto& server : dead) {
        AddFinding(kCategoryCLSID, kKindKey, std::string(kClsidKeyPath) + "\\" + className,
                   std::move(server.record));
        for (const std::string& progId : server.progIds) {
            if (progId != kValueNotSet && ProgIdBelongsToClass(progId, className)) {
                AddFinding(kCategoryProgID, kKindKey, "HKEY_CLASSES_ROOT\\" + progId, nullptr);
                ++counts.found;
            }
        }
        ++counts.found;
    }
}

// The texts of the "(Default)" records of the class's ProgID key, each counted as scanned.
std::vector<std::string> CRegistryLib::ReadProgIds(HKEY classKey, Counts& counts) {
    std::vector<std::string> texts;
    engine::KeyHandle progIdKey(m_registry);
    if (m_registry.OpenKey(classKey, "ProgID", progIdKey.Receive()) != ERROR_SUCCESS) {
        return texts;
    }
    RegValueList values;
    AddRegistryValues(progIdKey.Get(), values);
    for (auto& value : values) {
        if (value->m_strName == kDefaultValueName) {
            ++counts.scanned;
            texts.push_back(std::move(value->m_strData));
        }
    }
    return texts;
}

// The ProgID finding deletes HKEY_CLASSES_ROOT\<text>. That is safe only for a plain key name (not a path)
// that is either absent or the ProgID of this very class (its CLSID subkey names the class); a value such as
// "CLSID", ".txt" or "*" would otherwise take a whole shared tree with it.
bool CRegistryLib::ProgIdBelongsToClass(const std::string& progId, const char* className) {
    if (progId.empty() || progId.find('\\') != std::string::npos) {
        return false;
    }
    engine::KeyHandle progIdKey(m_registry);
    const LONG opened = m_registry.OpenKey(HKEY_CLASSES_ROOT, progId.c_str(), progIdKey.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (opened != ERROR_SUCCESS) {
        return false;
    }
    engine::KeyHandle clsidKey(m_registry);
    if (m_registry.OpenKey(progIdKey.Get(), "CLSID", clsidKey.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    RegValueList values;
    AddRegistryValues(clsidKey.Get(), values);
    for (const auto& value : values) {
        if (value->m_strName == kDefaultValueName && value->m_strData != kValueNotSet &&
            _stricmp(value->m_strData.c_str(), className) == 0) {
            return true;
        }
    }
    return false;
}
