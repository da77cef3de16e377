// CRegistryLib::SaveAsXml: the backup entry of one finding.
#include "backup/backup_entry.h"
#include "backup/backup_format.h"
#include "backup/xml_writer.h"
#include "engine/key_handle.h"
#include "engine/value_text.h"
#include "engine/registry_links.h"

#include <algorithm>

namespace {

// The longest value name the registry allows (16,383 UTF-16 units, up to 3 bytes each in UTF-8), plus its
// NUL; key names are shorter.
constexpr DWORD kLongestName = 16383 * 3 + 1;
constexpr int kReadAttempts = 8;

BackupValue MakeBackupValue(bool unnamed, std::string name, DWORD type, const BYTE* data, DWORD size) {
    BackupValue value;
    value.unnamed = unnamed;
    value.name = std::move(name);
    value.type = type;
    value.data.assign(data, data + size);
    // The same text the scans see; an unnamed value without data reads "(value not set)".
    value.text = unnamed && size == 0 ? std::string(kValueNotSet) : ConvertToString(type, data, size);
    return value;
}

// Every value of the key, exactly as stored. False when one of them could not be read.
bool ReadAllValues(engine::RegistryApi& registry, HKEY key, std::vector<BackupValue>& values) {
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (registry.QueryInfoKey(key, nullptr, nullptr, &count, &longestName, &longestData) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> name(std::max<DWORD>(longestName + 1, 256));
    std::vector<BYTE> data(size_t{longestData} + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 0;
        DWORD dataSize = 0;
        DWORD type = REG_NONE;
        LONG rc = ERROR_MORE_DATA;
        // A value may have grown since the query: grow the buffers and read it again.
        for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_MORE_DATA; ++attempt) {
            nameLength = static_cast<DWORD>(name.size());
            dataSize = static_cast<DWORD>(data.size());
            rc = registry.EnumValue(key, index, name.data(), &nameLength, &type, data.data(), &dataSize);
            if (rc == ERROR_MORE_DATA) {
                name.resize(std::max<size_t>(name.size(), kLongestName));
                data.resize(std::max<size_t>(size_t{dataSize}, data.size() * 2));
            }
        }
        if (rc == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (rc != ERROR_SUCCESS || nameLength >= name.size() || dataSize > data.size()) {
            return false;
        }
        values.push_back(MakeBackupValue(nameLength == 0, std::string(name.data(), nameLength), type,
                                         data.data(), dataSize));
    }
}

// The value a finding names, as the registry holds it now ("(Default)" is the unnamed value).
LONG ReadCurrentValue(engine::RegistryApi& registry, HKEY key, const CRegValue& record, BackupValue& value) {
    const bool unnamed = record.m_strName == kDefaultValueName;
    const std::string name = unnamed ? std::string() : record.m_strName;
    DWORD size = 0;
    DWORD type = REG_NONE;
    LONG rc = registry.QueryValueEx(key, name.c_str(), &type, nullptr, &size);
    std::vector<BYTE> data;
    for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_SUCCESS; ++attempt) {
        data.resize(size_t{size} + 1);
        size = static_cast<DWORD>(data.size());
        rc = registry.QueryValueEx(key, name.c_str(), &type, data.data(), &size);
        if (rc == ERROR_SUCCESS && size <= data.size()) {
            value = MakeBackupValue(unnamed, name, type, data.data(), size);
            return ERROR_SUCCESS;
        }
        if (rc == ERROR_MORE_DATA) {
            rc = ERROR_SUCCESS; // grown meanwhile: read again with the new size
        }
    }
    return rc == ERROR_SUCCESS ? ERROR_MORE_DATA : rc;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('\\', start);
        parts.push_back(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos) {
            return parts;
        }
        start = slash + 1;
    }
}

// What the walk of one key's tree found.
struct TreeResult {
    bool complete = true; // every part was read and written
    bool wrote = true;    // every write succeeded
    std::string refusal;  // set when the tree may not be removed although it could be read
};

// The entry's chain from the root down to the finding: which parts are registry links. The key itself may
// not be one (its removal would reach the key it points to); links above it are followed, as the scan
// followed them, and recorded so that a restore writes through them only then.
LONG FindLinksOnPath(engine::RegistryApi& registry, const std::string& root,
                     const std::vector<std::string>& parts, std::vector<bool>& links, std::string& refusal) {
    links.assign(parts.size(), false);
    HKEY rootKey = nullptr;
    if (!CRegistryLib::MapRootKey(root, &rootKey)) {
        return ERROR_BADKEY;
    }
    engine::KeyHandle current(registry, rootKey);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        engine::KeyHandle next(registry);
        bool link = false;
        const LONG rc =
            engine::OpenWithoutFollowing(registry, current.Get(), parts[i].c_str(), KEY_READ, next, link);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (link) {
            if (i + 1 == parts.size()) {
                refusal = "the key is a registry link";
                return ERROR_SUCCESS;
            }
            links[i] = true;
            const LONG followed =
                registry.OpenKeyEx(current.Get(), parts[i].c_str(), 0, KEY_READ, next.Receive());
            if (followed != ERROR_SUCCESS) {
                return followed;
            }
        }
        current = std::move(next);
    }
    return ERROR_SUCCESS;
}

// One open key of the walk below a finding.
struct Frame {
    engine::KeyHandle owned; // empty for the finding's key, which the caller holds
    HKEY key = nullptr;
    std::string path;        // below the finding, for the report
    bool named = true;       // has its own "k" element (the finding's key is written by the caller)
    std::vector<char> child; // the enumeration buffer
    DWORD next = 0;          // the next subkey index
};

// Writes the start of one key (its "k" element and values) and, when it has subkeys, returns true so that
// the caller walks them. An empty named key is written whole as an empty element.
bool EnterKey(engine::RegistryApi& registry, CXmlWriter& writer, const std::string& name, Frame& frame,
              const CRegValue* value, TreeResult& result) {
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD valueCount = 0;
    if (registry.QueryInfoKey(frame.key, &subKeys, &longestSubKey, &valueCount, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        result.complete = false;
        return false;
    }
    if (frame.named && subKeys == 0 && valueCount == 0) {
        result.wrote = writer.WriteEmptyTag(KeyElement(name), 1) == 1 && result.wrote;
        return false;
    }
    // Every write is checked: an entry with a failed write is not complete, whatever the writer's state.
    if (frame.named) {
        result.wrote = writer.WriteStartTag(KeyElement(name), 1) == 1 && result.wrote;
    }
    if (value != nullptr) {
        BackupValue current;
        const LONG rc = ReadCurrentValue(registry, frame.key, *value, current);
        if (rc == ERROR_SUCCESS) {
            result.wrote = writer.WriteEmptyTag(ValueElement(current), 1) == 1 && result.wrote;
            if (value->m_bHasRaw && (current.type != value->m_dwType || current.data != value->m_raw)) {
                // Not the value the scan judged: its name no longer names it, or it changed meanwhile.
                result.refusal = "the value no longer holds what the scan found";
            }
        } else if (rc != ERROR_FILE_NOT_FOUND) {
            result.complete = false; // gone values need no entry; unreadable ones must not be deleted
        }
    } else {
        std::vector<BackupValue> values;
        result.complete = ReadAllValues(registry, frame.key, values) && result.complete;
        for (const BackupValue& v : values) {
            result.wrote = writer.WriteEmptyTag(ValueElement(v), 1) == 1 && result.wrote;
        }
    }
    frame.child.resize(std::max<DWORD>(longestSubKey + 1, 256));
    return true;
}

// The content of `key` (named: inside its own "k" element), then every subkey below it, walked with an own
// stack. Subkeys are opened as themselves: a registry link is never followed. Below a key finding a link, or
// a tree deeper than the registry allows, makes the entry one that may not be removed; below a value finding
// (only the value is removed) such parts are passed over.
TreeResult WriteKeyTree(engine::RegistryApi& registry, CXmlWriter& writer, const std::string& name, HKEY key,
                        const CRegValue* value) {
    TreeResult result;
    const bool wholeKey = value == nullptr;
    std::vector<Frame> stack;
    {
        Frame top{engine::KeyHandle(registry), key, name, !name.empty(), {}, 0};
        if (!EnterKey(registry, writer, name, top, value, result)) {
            return result;
        }
        stack.push_back(std::move(top));
    }
    while (!stack.empty()) {
        Frame& frame = stack.back();
        // After any part could not be read, every open key only gets its end tag: the file stays well nested.
        bool done = !result.complete || !result.wrote || !result.refusal.empty();
        std::string childName;
        if (!done) {
            DWORD length = static_cast<DWORD>(frame.child.size());
            const LONG rc = registry.EnumKeyEx(frame.key, frame.next++, frame.child.data(), &length);
            if (rc == ERROR_NO_MORE_ITEMS) {
                done = true;
            } else if (rc != ERROR_SUCCESS || length >= frame.child.size()) {
                result.complete = false;
                done = true;
            } else {
                childName.assign(frame.child.data(), length);
            }
        }
        if (done) {
            if (frame.named) {
                result.wrote = writer.WriteEndTag(kKeyElement, -1) == 1 && result.wrote;
            }
            stack.pop_back();
            continue;
        }
        if (childName.empty()) {
            continue;
        }
        const std::string childPath = frame.path.empty() ? childName : frame.path + "\\" + childName;
        Frame sub{engine::KeyHandle(registry), nullptr, childPath, true, {}, 0};
        bool link = false;
        if (engine::OpenWithoutFollowing(registry, frame.key, childName.c_str(), KEY_READ, sub.owned, link) !=
            ERROR_SUCCESS) {
            result.complete = false;
            continue;
        }
        sub.key = sub.owned.Get();
        if (link || stack.size() >= engine::kMaxWalkDepth) {
            if (wholeKey) {
                result.refusal = link ? "a registry link below it (" + childPath + ")"
                                      : "more than " + std::to_string(engine::kMaxWalkDepth) +
                                            " levels of subkeys below it";
            }
            continue;
        }
        if (EnterKey(registry, writer, childName, sub, nullptr, result)) {
            stack.push_back(std::move(sub));
        }
    }
    result.wrote = result.wrote && !writer.Failed();
    return result;
}

// Why the whole tree below `key` may not be removed (a registry link in it, more levels than any walk here
// goes), found before anything of it is written; empty when it may. Parts that cannot be read are left to
// the writing walk, which then leaves the entry incomplete.
std::string TreeRefusal(engine::RegistryApi& registry, HKEY key) {
    struct Open {
        engine::KeyHandle owned;
        HKEY key;
        std::string path;
        DWORD next;
    };
    std::vector<Open> stack;
    stack.push_back(Open{engine::KeyHandle(registry), key, std::string(), 0});
    char child[256];
    while (!stack.empty()) {
        Open& open = stack.back();
        DWORD length = sizeof child;
        if (registry.EnumKeyEx(open.key, open.next++, child, &length) != ERROR_SUCCESS || length == 0) {
            stack.pop_back();
            continue;
        }
        const std::string path = open.path.empty() ? std::string(child, length) : open.path + "\\" + child;
        if (stack.size() >= engine::kMaxWalkDepth) {
            return "more than " + std::to_string(engine::kMaxWalkDepth) + " levels of subkeys below it";
        }
        Open sub{engine::KeyHandle(registry), nullptr, path, 0};
        bool link = false;
        if (engine::OpenWithoutFollowing(registry, open.key, child, KEY_READ, sub.owned, link) ==
            ERROR_SUCCESS) {
            if (link) {
                return "a registry link below it (" + path + ")";
            }
            sub.key = sub.owned.Get();
            stack.push_back(std::move(sub));
        }
    }
    return std::string();
}

} // namespace

BackupEntryResult WriteBackupEntry(CRegistryLib& engine, CXmlWriter& writer, const std::string& keyPath,
                                   const CRegValue* value) {
    BackupEntryResult result;
    if (keyPath.empty()) {
        return result;
    }
    std::string subKey = keyPath;
    const std::string root = CRegistryLib::SeperateMainKey(subKey);
    engine::KeyHandle key(engine.Registry());
    result.openCode = engine.OpenKey(root, subKey, key.Receive());
    if (result.openCode != ERROR_SUCCESS) {
        return result;
    }
    const std::vector<std::string> chain = SplitPath(keyPath);
    std::vector<bool> links;
    const LONG walked = FindLinksOnPath(engine.Registry(), root, chain, links, result.refusal);
    if (walked == ERROR_SUCCESS && result.refusal.empty() && value == nullptr) {
        result.refusal = TreeRefusal(engine.Registry(), key.Get());
    }
    if (walked != ERROR_SUCCESS || !result.refusal.empty()) {
        return result; // nothing written: a key that may not be removed, or a path that changed meanwhile
    }
    bool wrote = true;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        wrote = writer.WriteStartTag(KeyElement(chain[i], links[i]), 1) == 1 && wrote;
    }
    const TreeResult content = WriteKeyTree(engine.Registry(), writer, std::string(), key.Get(), value);
    result.refusal = content.refusal;
    wrote = wrote && content.wrote;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        wrote = writer.WriteEndTag(kKeyElement, -1) == 1 && wrote;
    }
    // On disk before anything is deleted: a fix that is killed later leaves this entry restorable.
    wrote = writer.Flush() == 1 && wrote && !writer.Failed();
    result.writeFailed = !wrote;
    result.written = wrote && content.complete && result.refusal.empty();
    return result;
}

int CRegistryLib::SaveAsXml(CXmlWriter& writer, const std::string& keyPath, const CRegValue* value) {
    return WriteBackupEntry(*this, writer, keyPath, value).written ? 1 : 0;
}

int CRegistryLib::SaveAsXml(CXmlWriter& writer, const std::string& name, HKEY key, const CRegValue* value) {
    const TreeResult result = WriteKeyTree(Registry(), writer, name, key, value);
    return result.complete && result.wrote && result.refusal.empty() ? 1 : 0;
}
