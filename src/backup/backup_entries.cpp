// ReadBackupEntries: the restore's walk of a backup file (WalkBackup, as CRegistryLib::LoadAsXml uses it)
// with the registry calls replaced by a list.
#include "backup/backup_entries.h"

#include "backup/backup_walk.h"

#include "backup/xml_reader.h"
#include "engine/registry_lib.h"

#include <windows.h>

namespace {} // namespace

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

    // Records what the restore would open and set, with the checks the restore makes on the way.
    class Lister final : public BackupVisitor {
    public:
        explicit Lister(BackupContents& contents) : m_contents(contents) {}

        bool OpenKey(const std::string& name, int lineNumber, bool) override {
            // The restore opens every key below one of the predefined roots and stops at any other.
            if (m_stack.empty() && !CRegistryLib::MapRootKey(name, nullptr)) {
                m_contents.error = "unknown root key '" + name + "' in line " + std::to_string(lineNumber);
                return false;
            }
            if (m_stack.size() > kMaxKeyDepth) {
                m_contents.error = "keys nested deeper than the registry allows (" +
                                   std::to_string(kMaxKeyDepth) + " levels) in line " +
                                   std::to_string(lineNumber);
                return false;
            }
            BackupKey key;
            key.parent = m_stack.empty() ? BackupKey::kNoParent : m_stack.back();
            key.name = name;
            if (!m_stack.empty()) {
                m_contents.keys[m_stack.back()].hasSubkeys = true;
            }
            m_stack.push_back(m_contents.keys.size());
            m_contents.keys.push_back(std::move(key));
            return true;
        }
        void CloseKey() override { m_stack.pop_back(); }
        void Value(const PendingValue& pending) override {
            RestoredValue restored;
            if (DecodePendingValue(pending, restored)) {
                m_contents.keys[m_stack.back()].values.push_back(std::move(restored));
            } else {
                m_contents.unreadable.push_back(
                    UnreadableValue{m_contents.JoinedPathOf(m_stack.back()), pending.name});
            }
        }

    private:
        BackupContents& m_contents;
        std::vector<std::size_t> m_stack; // the open keys, innermost last
    };

    Lister lister(contents);
    WalkBackup(reader, lister);
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
