// The COM class scan: every class under HKEY_CLASSES_ROOT\CLSID whose server files are all missing, and every
// class of the 32-bit view (Wow6432Node\CLSID) likewise, its paths read as a 32-bit program reads them.
#include "engine/exact_text.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/scan_support.h"

#include <string.h>
#include <algorithm>
#include <optional>

namespace {

constexpr char kClsidKeyPath[] = "HKEY_CLASSES_ROOT\\CLSID";
// The 32-bit view's classes in each hive, the user's first: its copy of a class hides the machine's, as the
// merged view does. HKEY_LOCAL_MACHINE\Software\Wow6432Node\Classes\CLSID is the machine's key again, under
// another name, so it is not listed.
constexpr const char* kThirtyTwoBitClsidKeys[] = {
    "HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\CLSID",
    "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID",
};
constexpr char kStatus[] = "Scanning CLSID";

// Keys below HKEY_CLASSES_ROOT that many classes, file types or the shell share: never a ProgID finding,
// whatever a class's ProgID value says.
constexpr const char* kSharedKeys[] = {"*",
                                       "AllFilesystemObjects",
                                       "AppID",
                                       "Applications",
                                       "AudioCD",
                                       "CLSID",
                                       "Component Categories",
                                       "DesktopBackground",
                                       "Directory",
                                       "Drive",
                                       "DVD",
                                       "Extensions",
                                       "FileType",
                                       "Folder",
                                       "Installer",
                                       "Interface",
                                       "LibraryFolder",
                                       "Local Settings",
                                       "Media Type",
                                       "MIME",
                                       "Network",
                                       "NetServer",
                                       "NetShare",
                                       "PackagedCom",
                                       "Printers",
                                       "Protocols",
                                       "SystemFileAssociations",
                                       "TypeLib",
                                       "Unknown",
                                       "Wow6432Node"};

// Subkeys a ProgID key may hold besides CLSID and CurVer: how the shell shows and opens it.
constexpr const char* kProgIdSubKeys[] = {"CLSID",   "CurVer",     "DefaultIcon",  "shell",
                                          "shellex", "Insertable", "NotInsertable"};

template <size_t N> bool InTable(const char* name, const char* const (&table)[N]) {
    for (const char* entry : table) {
        if (_stricmp(name, entry) == 0) {
            return true;
        }
    }
    return false;
}

// A key name as the registry compares it: upper-cased, beyond ASCII too.
std::wstring FoldedName(const std::string& name) {
    std::wstring wide(name.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    if (!wide.empty()) {
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return wide;
}

bool SameKeyName(const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) == 0 || FoldedName(a) == FoldedName(b);
}

// The "(Default)" text of `subKey` below an open key. ERROR_FILE_NOT_FOUND when the key or the value is
// absent; the text must be a string value.
LONG ReadDefaultText(engine::RegistryApi& registry, HKEY key, const std::string& subKey, std::string& text) {
    engine::KeyHandle sub(registry);
    LONG rc = registry.OpenKeyEx(key, subKey.c_str(), 0, KEY_QUERY_VALUE, sub.Receive());
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    // One query for the usual short text; a longer one is asked for again at its size.
    std::vector<BYTE> data(512);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size() - 1);
    rc = registry.QueryValueEx(sub.Get(), "", &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
        data.resize(size_t{size} + 1);
        rc = registry.QueryValueEx(sub.Get(), "", &type, data.data(), &size);
    }
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return ERROR_INVALID_DATA;
    }
    const auto* chars = reinterpret_cast<const char*>(data.data());
    text.assign(chars, strnlen(chars, size));
    return ERROR_SUCCESS;
}

} // namespace

void CRegistryLib::ScanRegistryCLSID(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    m_progIdNamers.clear();
    m_progIdIndex.clear();
    m_progIdNamersComplete = true;
    m_pendingProgIds.clear();
    std::string subKey = kClsidKeyPath;
    const std::string root = SeperateMainKey(subKey);
    engine::KeyHandle clsidKey(m_registry);
    const LONG opened = OpenKey(root, subKey, clsidKey.Receive());
    if (opened == ERROR_SUCCESS && !ScanClassList(clsidKey.Get(), std::string(), {}, nullptr, counts)) {
        return;
    }
    // A view that cannot be read may hold classes that name a ProgID: no ProgID is then certain.
    m_progIdNamersComplete =
        m_progIdNamersComplete && (opened == ERROR_SUCCESS || opened == ERROR_FILE_NOT_FOUND);
    std::vector<std::wstring> userClasses;
    for (const char* viewPath : kThirtyTwoBitClsidKeys) {
        std::string below = viewPath;
        const std::string viewRoot = SeperateMainKey(below);
        engine::KeyHandle viewKey(m_registry);
        const LONG rc = OpenKey(viewRoot, below, viewKey.Receive());
        const bool user = viewRoot == "HKEY_CURRENT_USER";
        if (rc != ERROR_SUCCESS
                ? rc != ERROR_FILE_NOT_FOUND
                : !ScanClassList(viewKey.Get(), viewPath, user ? std::vector<std::wstring>() : userClasses,
                                 user ? &userClasses : nullptr, counts)) {
            m_progIdNamersComplete = false;
        }
    }
    AddProgIdFindings(counts);
    AppendRow(errors, kDescriptionCLSID, counts);
}

bool CRegistryLib::ScanClassList(HKEY clsidKey, const std::string& viewPath,
                                 const std::vector<std::wstring>& skip, std::vector<std::wstring>* walked,
                                 Counts& counts) {
    DWORD longestName = 0;
    if (m_registry.QueryInfoKey(clsidKey, nullptr, &longestName, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    engine::SubKeyReader classes(m_registry, clsidKey, longestName);
    bool complete = false;
    for (DWORD i = 0; !m_stop(); ++i) {
        const LONG rc = classes.Read(i);
        if (rc != ERROR_SUCCESS) {
            complete = rc == ERROR_NO_MORE_ITEMS;
            break;
        }
        // The 32-bit view's own node is no class, wherever a registry keeps it.
        if (classes.Length() == 0 || _stricmp(classes.Name(), "Wow6432Node") == 0) {
            continue;
        }
        if (!skip.empty() || walked != nullptr) {
            const std::wstring folded = FoldedName(classes.Name());
            if (std::find(skip.begin(), skip.end(), folded) != skip.end()) {
                continue;
            }
            if (walked != nullptr) {
                walked->push_back(folded);
            }
        }
        ScanClassKey(clsidKey, classes.Name(), viewPath, counts);
    }
    m_progIdNamersComplete = m_progIdNamersComplete && complete;
    return true;
}

// A class is recorded only when none of its server keys names an existing file: one working server (an
// InprocServer32 beside a dead 16-bit InprocServer, say) keeps the class in use. A class that could not be
// judged completely (a server key or value that cannot be read, a stop in the middle) is not recorded either.
void CRegistryLib::ScanClassKey(HKEY clsidKey, const char* className, const std::string& viewPath,
                                Counts& counts) {
    const bool thirtyTwoBit = !viewPath.empty();
    engine::KeyHandle classKey(m_registry);
    DWORD subKeys = 0;
    DWORD longestName = 0;
    if (m_registry.OpenKey(clsidKey, className, classKey.Receive()) != ERROR_SUCCESS ||
        m_registry.QueryInfoKey(classKey.Get(), &subKeys, &longestName, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
        m_progIdNamersComplete = false; // the ProgIDs it names are unknown
        return;
    }
    if (subKeys == 0) {
        return;
    }

    // Servers whose file is missing, each with the file looked for; recorded only at the end.
    struct DeadServer {
        std::unique_ptr<CRegValue> record;
        std::string missingFile;
    };
    std::vector<DeadServer> dead;
    bool anyServerWorks = false;
    bool judged = true;
    // The class's ProgID key, read once: it names the other classes' keys too (see NoteProgIdNamer).
    bool hasProgIdKey = false;
    std::optional<std::string> progId;
    engine::SubKeyReader children(m_registry, classKey.Get(), longestName);
    for (DWORD j = 0;; ++j) {
        if (m_stop()) {
            judged = false;
            break;
        }
        const LONG rc = children.Read(j);
        if (rc != ERROR_SUCCESS) {
            judged = judged && rc == ERROR_NO_MORE_ITEMS;
            m_progIdNamersComplete = m_progIdNamersComplete && rc == ERROR_NO_MORE_ITEMS;
            break;
        }
        const bool isProgId = _stricmp(children.Name(), "ProgID") == 0;
        if (isProgId || _stricmp(children.Name(), "VersionIndependentProgID") == 0) {
            hasProgIdKey = hasProgIdKey || isProgId;
            NoteProgIdNamer(classKey.Get(), children.Name(), className, isProgId ? &progId : nullptr);
            continue;
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
                JudgeAs(engine::ServerReference(children.Name()), record->m_strData, thirtyTwoBit);
            if (verdict == engine::Verdict::CannotJudge) {
                judged = false;
            } else if (verdict == engine::Verdict::Missing) {
                dead.push_back({std::move(record), Judge().TestedPath()});
            } else {
                anyServerWorks = true;
            }
            Progress(Judge().TestedPath(), kStatus, counts);
        }
    }
    // The ProgID is counted for every missing server, whether the class is recorded or not.
    if (hasProgIdKey) {
        counts.scanned += static_cast<int>(dead.size());
    }
    // A class is deleted with its whole subtree: every text in it must be exact.
    if (anyServerWorks || !judged || dead.empty() ||
        !engine::KeyTextExact(m_registry, classKey.Get(), true)) {
        return;
    }
    // The finding names the hive that holds the class: deleting or restoring through the merged view would
    // reach the wrong copy.
    const std::string classPath =
        thirtyTwoBit ? viewPath + "\\" + className : ClassesHivePath(std::string("CLSID\\") + className);
    if (classPath.empty()) {
        return;
    }

    // No server of this class works: each missing server gives its finding, and the ProgID its own once
    // every class has been seen (whether another class names the same key is known only then).
    for (auto& server : dead) {
        // An ignored class takes its ProgID with it: a ProgID is only ever judged with its class.
        if (!AddFinding(kCategoryCLSID, kKindKey, classPath, std::move(server.record), &server.missingFile)) {
            continue;
        }
        if (progId) {
            m_pendingProgIds.push_back(
                {m_arrErrorLog.size(), *progId, className, server.missingFile, thirtyTwoBit});
        }
        ++counts.found;
    }
}

void CRegistryLib::NoteProgIdNamer(HKEY classKey, const char* subKey, const char* className,
                                   std::optional<std::string>* text) {
    std::string read;
    const LONG rc = ReadDefaultText(m_registry, classKey, subKey, read);
    if (rc == ERROR_SUCCESS) {
        if (text != nullptr) {
            *text = read;
        }
        m_progIdNamers.emplace_back(std::move(read), className);
    } else if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_INVALID_DATA) {
        m_progIdNamersComplete = false;
    }
}

void CRegistryLib::AddProgIdFindings(Counts& counts) {
    if (m_pendingProgIds.empty()) {
        return;
    }
    RegErrorLogList merged;
    merged.reserve(m_arrErrorLog.size() + m_pendingProgIds.size());
    size_t next = 0;
    // A class with several dead servers gives its ProgID once per server: judged once.
    const PendingProgId* previous = nullptr;
    std::string path;
    const auto insertAt = [&](size_t position) {
        for (; next < m_pendingProgIds.size() && m_pendingProgIds[next].position == position; ++next) {
            const PendingProgId& pending = m_pendingProgIds[next];
            if (previous == nullptr || previous->progId != pending.progId ||
                previous->className != pending.className || previous->thirtyTwoBit != pending.thirtyTwoBit) {
                path = ProgIdKeyPath(pending.progId, pending.className.c_str(), pending.thirtyTwoBit);
                previous = &pending;
            }
            if (path.empty() || IsIgnored(kCategoryProgID, kKindKey, path, nullptr)) {
                continue;
            }
            auto finding = std::make_unique<CRegErrorLog>();
            finding->SetMissingFile(pending.missingFile);
            finding->SetKeyPath(path);
            finding->SetCategory(kCategoryProgID);
            finding->SetKind(kKindKey);
            merged.push_back(std::move(finding));
            ++counts.found;
        }
    };
    insertAt(0);
    for (size_t i = 0; i < m_arrErrorLog.size(); ++i) {
        merged.push_back(std::move(m_arrErrorLog[i]));
        insertAt(i + 1);
    }
    m_arrErrorLog = std::move(merged);
    m_pendingProgIds.clear();
    m_progIdNamers.clear();
    m_progIdIndex.clear();
}

std::string CRegistryLib::ClassesHivePath(const std::string& below) {
    for (const char* hive :
         {"HKEY_CURRENT_USER\\Software\\Classes\\", "HKEY_LOCAL_MACHINE\\Software\\Classes\\"}) {
        std::string subKey = hive + below;
        const std::string root = SeperateMainKey(subKey);
        HKEY rootKey = nullptr;
        MapRootKey(root, &rootKey);
        engine::KeyHandle key(m_registry);
        const LONG rc = m_registry.OpenKeyEx(rootKey, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive());
        if (rc == ERROR_SUCCESS) {
            return hive + below;
        }
        if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) {
            return std::string();
        }
    }
    return "HKEY_CLASSES_ROOT\\" + below;
}

// A ProgID finding deletes a whole key, so every doubt leaves it out: the text must name a key that exists,
// is no shared or file-type key, is this class's ProgID and no other class's, and no registration of the
// same class id in the other view still serves it (ProgID keys are shared between the views, CLSID keys are
// not).
std::string CRegistryLib::ProgIdKeyPath(const std::string& progId, const char* className, bool thirtyTwoBit) {
    if (progId.empty() || progId.find('\\') != std::string::npos || progId[0] == '.' ||
        InTable(progId.c_str(), kSharedKeys) || !ProgIdBelongsToClass(progId, className) ||
        ProgIdNamedByOtherClass(progId, className) || !NoWorkingServerInOtherView(className, thirtyTwoBit)) {
        return std::string();
    }
    return ClassesHivePath(progId);
}

// The key must exist, name this class in its CLSID and hold nothing but a ProgID's own subkeys: a value such
// as "CLSID", ".txt" or "*" would otherwise take a whole shared tree with it.
bool CRegistryLib::ProgIdBelongsToClass(const std::string& progId, const char* className) {
    engine::KeyHandle progIdKey(m_registry);
    if (m_registry.OpenKey(HKEY_CLASSES_ROOT, progId.c_str(), progIdKey.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    std::string named;
    if (ReadDefaultText(m_registry, progIdKey.Get(), "CLSID", named) != ERROR_SUCCESS ||
        !SameKeyName(named, className)) {
        return false;
    }
    DWORD longestName = 0;
    if (m_registry.QueryInfoKey(progIdKey.Get(), nullptr, &longestName, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    engine::SubKeyReader children(m_registry, progIdKey.Get(), longestName);
    for (DWORD i = 0;; ++i) {
        const LONG rc = children.Read(i);
        if (rc == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (rc != ERROR_SUCCESS || !InTable(children.Name(), kProgIdSubKeys)) {
            return false;
        }
    }
}

bool CRegistryLib::ProgIdNamedByOtherClass(const std::string& progId, const char* className) {
    if (!m_progIdNamersComplete) {
        return true;
    }
    if (m_progIdIndex.empty()) {
        for (const auto& [text, namer] : m_progIdNamers) {
            m_progIdIndex[FoldedName(text)].push_back(FoldedName(namer));
        }
    }
    const auto namers = m_progIdIndex.find(FoldedName(progId));
    if (namers == m_progIdIndex.end()) {
        return false;
    }
    const std::wstring self = FoldedName(className);
    for (const std::wstring& namer : namers->second) {
        if (namer != self) {
            return true;
        }
    }
    return false;
}

bool CRegistryLib::NoWorkingServerInOtherView(const char* className, bool thirtyTwoBit) {
    engine::KeyHandle classKey(m_registry);
    const REGSAM otherView = thirtyTwoBit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const LONG opened = m_registry.OpenKeyEx(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + className).c_str(),
                                             0, KEY_READ | otherView, classKey.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    DWORD longestName = 0;
    if (opened != ERROR_SUCCESS || m_registry.QueryInfoKey(classKey.Get(), nullptr, &longestName, nullptr,
                                                           nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    engine::SubKeyReader children(m_registry, classKey.Get(), longestName);
    for (DWORD i = 0;; ++i) {
        const LONG rc = children.Read(i);
        if (rc == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (rc != ERROR_SUCCESS) {
            return false;
        }
        if (!engine::IsServerKey(children.Name())) {
            continue;
        }
        std::string text;
        const LONG read = ReadDefaultText(m_registry, classKey.Get(), children.Name(), text);
        if (read == ERROR_FILE_NOT_FOUND) {
            continue; // a server key without a file name serves nothing
        }
        if (read != ERROR_SUCCESS || text.empty() ||
            JudgeAs(engine::ServerReference(children.Name()), text, !thirtyTwoBit) !=
                engine::Verdict::Missing) {
            return false;
        }
    }
}
