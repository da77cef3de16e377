// ReadBackupEntries: the restore's reading of a backup file (CRegistryLib::LoadAsXml) with the registry
// calls replaced by a list. The attribute handling follows LoadAsXml step by step; keep the two in step.
#include "backup/backup_entries.h"

#include "backup/value_text.h"
#include "backup/xml_reader.h"
#include "engine/registry_lib.h"

#include <windows.h>

namespace {

bool SameName(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

} // namespace

std::vector<std::string> BackupContents::PathOf(std::size_t key) const {
    std::vector<std::string> path;
    for (std::size_t at = key; at < keys.size(); at = keys[at].parent) {
        path.push_back(keys[at].name);
    }
    return std::vector<std::string>(path.rbegin(), path.rend());
}

std::string BackupContents::JoinedPathOf(std::size_t key) const {
    std::string joined;
    for (const std::string& name : PathOf(key)) {
        if (!joined.empty()) {
            joined += '\\';
        }
        joined += name;
    }
    return joined;
}

bool ReadBackupEntries(CXmlReader& reader, const std::string& path, BackupContents& contents) {
    contents = BackupContents();
    reader.SetShowErrors(false);
    if (!path.empty()) {
        reader.SetFileName(path);
    }

    std::vector<std::size_t> stack; // the open keys, innermost last
    PendingValue pending;
    std::string keyRawName; // a "rawname" read ahead of the "name" of a "k"
    bool hasKeyRawName = false;
    while (contents.error.empty() && reader.ReadNext() == 1) {
        switch (reader.GetTokenType()) {
        case XmlToken::StartTag:
            hasKeyRawName = false;
            break;
        case XmlToken::Attribute: {
            std::string name;
            std::string value;
            reader.GetAttribute(name, value);
            name = GetUnescapedXmlString(name);
            value = GetUnescapedXmlString(value);
            const std::string& element = reader.GetElementName();
            if (SameName(element, kKeyElement)) {
                if (SameName(name, "rawname")) {
                    hasKeyRawName = BytesOfHex(value, keyRawName);
                } else if (SameName(name, "name")) {
                    BackupKey key;
                    key.parent = stack.empty() ? BackupKey::kNoParent : stack.back();
                    key.name = hasKeyRawName ? keyRawName : value;
                    hasKeyRawName = false;
                    // The restore opens every key below one of the predefined roots and stops at any other.
                    if (stack.empty() && !CRegistryLib::MapRootKey(key.name, nullptr)) {
                        contents.error = "unknown root key '" + key.name + "' in line " +
                                         std::to_string(reader.GetLineNumber());
                        break;
                    }
                    if (stack.size() > kMaxKeyDepth) {
                        contents.error = "keys nested deeper than the registry allows (" +
                                         std::to_string(kMaxKeyDepth) + " levels) in line " +
                                         std::to_string(reader.GetLineNumber());
                        break;
                    }
                    if (!stack.empty()) {
                        contents.keys[stack.back()].hasSubkeys = true;
                    }
                    stack.push_back(contents.keys.size());
                    contents.keys.push_back(std::move(key));
                }
            } else if (SameName(element, kValueElement)) {
                if (SameName(name, "name")) {
                    pending.Clear();
                    pending.name = value;
                } else if (SameName(name, "value")) {
                    pending.text = value;
                    pending.typeText.clear();
                } else if (SameName(name, "type")) {
                    pending.typeText = value;
                } else if (SameName(name, "rawname")) {
                    pending.rawName = value;
                    pending.hasRawName = true;
                } else if (SameName(name, "raw")) {
                    pending.raw = value;
                    pending.hasRaw = true;
                } else if (SameName(name, "rawtype")) {
                    pending.rawType = value;
                    pending.hasRawType = true;
                }
            }
            break;
        }
        case XmlToken::EndTag: {
            const std::string element = GetUnescapedXmlString(reader.GetElementName());
            if (SameName(element, kKeyElement)) {
                if (!stack.empty()) {
                    stack.pop_back();
                }
            } else if (SameName(element, kValueElement)) {
                // A "v" outside every "k" is passed over and its attributes stay pending, as in the restore.
                if (!stack.empty()) {
                    BackupKey& key = contents.keys[stack.back()];
                    RestoredValue restored;
                    if (DecodePendingValue(pending, restored)) {
                        key.values.push_back(std::move(restored));
                    } else {
                        contents.unreadable.push_back(
                            UnreadableValue{contents.JoinedPathOf(stack.back()), pending.name});
                    }
                    pending.Clear();
                }
            }
            break;
        }
        default:
            break;
        }
    }
    if (contents.error.empty()) {
        if (!reader.IsOpen()) {
            contents.error = "the file cannot be opened";
        } else if (!reader.GetErrorText().empty()) {
            contents.error = reader.GetErrorText();
        }
    }
    reader.Close();
    return contents.error.empty();
}
