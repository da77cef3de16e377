#include "backup/backup_walk.h"

#include "engine/value_text.h"
#include "backup/xml_reader.h"

#include <windows.h>

namespace {

bool SameName(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

// The attributes of a "v" element, collected until its end tag.
void CollectValueAttribute(const std::string& name, const std::string& value, PendingValue& pending) {
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

} // namespace

bool WalkBackup(CXmlReader& reader, BackupVisitor& visitor) {
    std::size_t depth = 0; // keys opened and not yet closed
    PendingValue pending;
    std::string keyRawName; // a "rawname" read ahead of the "name" of a "k"
    bool hasKeyRawName = false;
    while (reader.ReadNext() == 1) {
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
                    const std::string keyName = hasKeyRawName ? keyRawName : value;
                    hasKeyRawName = false;
                    ++depth; // the visitor's key is open even when it stops the walk, as the caller sees it
                    if (!visitor.OpenKey(keyName, reader.GetLineNumber())) {
                        return false;
                    }
                }
            } else if (SameName(element, kValueElement)) {
                CollectValueAttribute(name, value, pending);
            }
            break;
        }
        case XmlToken::EndTag: {
            const std::string element = GetUnescapedXmlString(reader.GetElementName());
            if (SameName(element, kKeyElement)) {
                if (depth > 0) {
                    --depth;
                    visitor.CloseKey();
                }
            } else if (SameName(element, kValueElement)) {
                // A "v" outside every "k" is passed over and its attributes stay pending.
                if (depth > 0) {
                    visitor.Value(pending);
                    pending.Clear();
                }
            }
            break;
        }
        default:
            break;
        }
    }
    return true;
}
