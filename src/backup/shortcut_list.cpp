#include "backup/shortcut_list.h"

#include "backup/backup_format.h"
#include "backup/xml_reader.h"
#include "engine/value_text.h"

#include <windows.h>

namespace backup {

ShortcutList ReadShortcutList(const std::string& backupFile) {
    ShortcutList list;
    CXmlReader reader;
    reader.SetShowErrors(false);
    reader.SetFileName(backupFile);
    std::string path;
    while (reader.ReadNext() == 1) {
        const std::string& element = reader.GetElementName();
        if (reader.GetTokenType() == XmlToken::StartTag) {
            path.clear();
        } else if (reader.GetTokenType() == XmlToken::Attribute) {
            std::string name;
            std::string value;
            reader.GetAttribute(name, value);
            if (lstrcmpiA(element.c_str(), kRootElement) == 0 &&
                lstrcmpiA(name.c_str(), kShortcutsListedAttribute) == 0) {
                list.listing = true;
            } else if (lstrcmpiA(element.c_str(), "shortcut") == 0 && lstrcmpiA(name.c_str(), "path") == 0) {
                path = GetUnescapedXmlString(value);
            }
        } else if (reader.GetTokenType() == XmlToken::EndTag &&
                   lstrcmpiA(GetUnescapedXmlString(element).c_str(), "shortcut") == 0 && !path.empty()) {
            list.paths.push_back(path);
        }
    }
    reader.Close();
    return list;
}

} // namespace backup
