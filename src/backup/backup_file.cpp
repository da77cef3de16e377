// CRegistryLib::SaveAsXml: the backup entry of one finding.
#include "backup/backup_entry.h"
#include "backup/backup_format.h"
#include "engine/value_text.h"
#include "backup/xml_writer.h"
#include "engine/key_handle.h"

#include <algorithm>

namespace {

// The longest value name the registry allows, plus its NUL; key names are shorter.
constexpr DWORD kLongestName = 16384;
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
    bool wrote = true;
    for (const std::string& name : chain) {
        wrote = writer.WriteStartTag(KeyElement(name), 1) == 1 && wrote;
    }
    const int content = engine.SaveAsXml(writer, std::string(), key.Get(), value);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        wrote = writer.WriteEndTag(kKeyElement, -1) == 1 && wrote;
    }
    // On disk before anything is deleted: a fix that is killed later leaves this entry restorable.
    wrote = writer.Flush() == 1 && wrote && !writer.Failed();
    result.writeFailed = !wrote;
    result.written = wrote && content == 1;
    return result;
}

int CRegistryLib::SaveAsXml(CXmlWriter& writer, const std::string& keyPath, const CRegValue* value) {
    return WriteBackupEntry(*this, writer, keyPath, value).written ? 1 : 0;
}

int CRegistryLib::SaveAsXml(CXmlWriter& writer, const std::string& name, HKEY key, const CRegValue* value) {
    engine::RegistryApi& registry = Registry();
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD valueCount = 0;
    if (registry.QueryInfoKey(key, &subKeys, &longestSubKey, &valueCount, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return 0;
    }
    const bool named = !name.empty();
    if (named && subKeys == 0 && valueCount == 0) {
        return writer.WriteEmptyTag(KeyElement(name), 1) ? 1 : 0;
    }
    // Every write is checked: an entry with a failed write is not complete, whatever the writer's state.
    bool wrote = !named || writer.WriteStartTag(KeyElement(name), 1) == 1;

    bool complete = true;
    if (value != nullptr) {
        BackupValue current;
        const LONG rc = ReadCurrentValue(registry, key, *value, current);
        if (rc == ERROR_SUCCESS) {
            wrote = writer.WriteEmptyTag(ValueElement(current), 1) == 1 && wrote;
        } else if (rc != ERROR_FILE_NOT_FOUND) {
            complete = false; // gone values need no entry; unreadable ones must not be deleted
        }
    } else {
        std::vector<BackupValue> values;
        complete = ReadAllValues(registry, key, values);
        for (const BackupValue& v : values) {
            wrote = writer.WriteEmptyTag(ValueElement(v), 1) == 1 && wrote;
        }
    }

    // Subkeys, also for a single value. Any subkey that cannot be read makes the entry incomplete, so that a
    // key is never deleted with a part that is not in the backup; the end tag below still closes this key.
    std::vector<char> child(std::max<DWORD>(longestSubKey + 1, 256));
    for (DWORD index = 0; complete && wrote; ++index) {
        DWORD length = static_cast<DWORD>(child.size());
        const LONG rc = registry.EnumKeyEx(key, index, child.data(), &length);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS || length >= child.size()) {
            complete = false;
            break;
        }
        const std::string childName(child.data(), length);
        if (childName.empty()) {
            continue;
        }
        engine::KeyHandle sub(registry);
        if (registry.OpenKey(key, childName.c_str(), sub.Receive()) != ERROR_SUCCESS ||
            SaveAsXml(writer, childName, sub.Get(), nullptr) != 1) {
            complete = false;
        }
    }

    if (named) {
        wrote = writer.WriteEndTag(kKeyElement, -1) == 1 && wrote;
    }
    return complete && wrote && !writer.Failed() ? 1 : 0;
}
