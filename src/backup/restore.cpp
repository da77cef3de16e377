// CRegistryLib::RestoreRegistryFrom and LoadAsXml: a backup file written back into the registry.
#include "backup/backup_format.h"
#include "backup/backup_walk.h"
#include "backup/restore_problems.h"
#include "backup/xml_reader.h"
#include "base/message_box.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/registry_links.h"

#include <cstring>

namespace {

constexpr char kCaption[] = "Orvalin";

void ShowArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

} // namespace

bool CRegistryLib::RestoreRegistryFrom(const std::string& path) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    CXmlReader reader;
    const int result = LoadAsXml(reader, path);
    ShowArrowCursor();
    return result == 1;
}

namespace {

std::string JoinedPath(const std::vector<CRegistryLib::OpenKeyEntry>& stack) {
    std::string path;
    for (const auto& entry : stack) {
        if (!path.empty()) {
            path += '\\';
        }
        path += entry.m_strName;
    }
    return path;
}

// What a value holds now: false when it does not exist or cannot be read.
bool ReadCurrent(engine::RegistryApi& registry, HKEY key, const RestoredValue& value, DWORD& type,
                 std::vector<BYTE>& data) {
    const char* name = value.unnamed ? nullptr : value.name.c_str();
    DWORD size = 0;
    if (registry.QueryValueEx(key, name, &type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data.assign(size, 0);
    if (size == 0) {
        return true;
    }
    if (registry.QueryValueEx(key, name, &type, data.data(), &size) != ERROR_SUCCESS) {
        return false;
    }
    data.resize(size);
    return true;
}

enum class Current { Missing, Same, Differs };

Current CompareWithRegistry(engine::RegistryApi& registry, HKEY key, const RestoredValue& value) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadCurrent(registry, key, value, type, data)) {
        return Current::Missing;
    }
    return type == value.type && data == value.data ? Current::Same : Current::Differs;
}

std::string ValuePath(const std::string& keyPath, const RestoredValue& value, const PendingValue& pending) {
    return keyPath + "\\" + (value.unnamed ? pending.name : value.name);
}

// Keys opened level by level below the root names, as the restore walks the file; the key stack closes
// what it opened.
class KeyStack {
public:
    explicit KeyStack(CRegistryLib& lib) : m_lib(lib) {}
    ~KeyStack() {
        for (const auto& entry : m_stack) {
            m_lib.LoadAsXml_CloseKey(entry.m_hKey);
        }
    }
    KeyStack(const KeyStack&) = delete;
    KeyStack& operator=(const KeyStack&) = delete;

    std::vector<CRegistryLib::OpenKeyEntry>& Entries() { return m_stack; }
    void Pop() {
        m_lib.LoadAsXml_CloseKey(m_stack.back().m_hKey);
        m_stack.pop_back();
    }

private:
    CRegistryLib& m_lib;
    std::vector<CRegistryLib::OpenKeyEntry> m_stack;
};

} // namespace

int CRegistryLib::LoadAsXml(CXmlReader& reader, const std::string& path) {
    m_lastRestore = RestoreOutcome();
    RestoreProblems problems(Messages(), kCaption, m_nRestoreBoxLimit);
    reader.SetShowErrors(true);
    reader.SetErrorDisplay(
        [this](const std::string& text) { Messages().Show(GetActiveWindow(), text, kCaption, MB_OK); });
    reader.SetFileName(path);

    // Keys are opened (and created) as the walk reaches them, so a file cut short still restores every
    // whole entry before the cut. A key that cannot be created is reported once; what lies below it is
    // passed over and the walk goes on with the next entry.
    class Restorer final : public BackupVisitor {
    public:
        Restorer(CRegistryLib& lib, RestoreProblems& problems)
            : m_lib(lib), m_problems(problems), m_keys(lib) {}

        bool OpenKey(const std::string& name, int, bool link) override {
            auto& stack = m_keys.Entries();
            if (stack.empty() && m_lib.m_restoreContinue &&
                !m_lib.m_restoreContinue(m_lib.m_lastRestore.written)) {
                m_lib.m_lastRestore.cancelled = true;
                stack.push_back(OpenKeyEntry{name, nullptr, link}); // the walk closes it
                return false;
            }
            stack.push_back(OpenKeyEntry{name, nullptr, link});
            if (stack.size() == 1) {
                // A root name outside the table: the file is not a backup of this registry.
                return MapRootKey(name, &stack.back().m_hKey);
            }
            if (stack[stack.size() - 2].m_hKey != nullptr) {
                stack.back().m_hKey = m_lib.LoadAsXml_OpenKey(stack, m_problems);
            }
            return true;
        }
        void CloseKey() override { m_keys.Pop(); }
        void Value(const PendingValue& value) override {
            auto& stack = m_keys.Entries();
            if (stack.back().m_hKey != nullptr) {
                m_lib.LoadAsXml_SetValue(stack.back().m_hKey, JoinedPath(stack), value, m_problems);
            }
        }

    private:
        CRegistryLib& m_lib;
        RestoreProblems& m_problems;
        KeyStack m_keys;
    };

    int result = 1;
    {
        Restorer restorer(*this, problems);
        if (!WalkBackup(reader, restorer)) {
            result = 0;
        }
    }
    problems.Finish();
    m_lastRestore.failures = problems.Count();
    // A file that cannot be opened restores nothing: that is a failure, not an empty success.
    if (!reader.IsOpen() || !reader.GetErrorText().empty() || m_lastRestore.failures > 0) {
        result = 0;
    }
    reader.Close();
    return result;
}

std::vector<std::string> CRegistryLib::DifferingValues(const std::string& path) {
    class Comparer final : public BackupVisitor {
    public:
        explicit Comparer(CRegistryLib& lib) : m_lib(lib), m_keys(lib) {}

        bool OpenKey(const std::string& name, int, bool) override {
            auto& stack = m_keys.Entries();
            stack.push_back(OpenKeyEntry{name, nullptr});
            if (stack.size() == 1) {
                // Predefined keys stay open and are never closed by the stack.
                return MapRootKey(name, &stack.back().m_hKey);
            }
            const HKEY parent = stack[stack.size() - 2].m_hKey;
            HKEY key = nullptr;
            if (parent != nullptr && !name.empty() &&
                m_lib.Registry().OpenKeyEx(parent, name.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
                stack.back().m_hKey = key;
            }
            return true;
        }
        void CloseKey() override { m_keys.Pop(); }
        void Value(const PendingValue& pending) override {
            auto& stack = m_keys.Entries();
            RestoredValue value;
            if (stack.back().m_hKey != nullptr && DecodePendingValue(pending, value) &&
                CompareWithRegistry(m_lib.Registry(), stack.back().m_hKey, value) == Current::Differs) {
                differing.push_back(ValuePath(JoinedPath(stack), value, pending));
            }
        }

        std::vector<std::string> differing;

    private:
        CRegistryLib& m_lib;
        KeyStack m_keys;
    };

    CXmlReader reader;
    reader.SetShowErrors(false);
    reader.SetFileName(path);
    Comparer comparer(*this);
    WalkBackup(reader, comparer);
    reader.Close();
    return std::move(comparer.differing);
}

HKEY CRegistryLib::LoadAsXml_OpenKey(const std::vector<OpenKeyEntry>& stack, RestoreProblems& problems) {
    if (stack.empty()) {
        return nullptr;
    }
    if (stack.size() == 1) {
        HKEY root = nullptr;
        return MapRootKey(stack.front().m_strName, &root) ? root : nullptr;
    }
    const HKEY parent = stack[stack.size() - 2].m_hKey;
    const std::string& name = stack.back().m_strName;
    // The keys above were checked when they were opened. This one, when it exists as a registry link, is
    // written through only when the backup recorded it as one; otherwise its entry would land wherever the
    // link now points.
    if (parent != nullptr && !name.empty() && !stack.back().m_bLink) {
        engine::KeyHandle existing(Registry());
        bool link = false;
        if (engine::OpenWithoutFollowing(Registry(), parent, name.c_str(), KEY_QUERY_VALUE, existing, link) ==
                ERROR_SUCCESS &&
            link) {
            ShowArrowCursor();
            problems.Report("couldn't create key " + JoinedPath(stack) +
                            ": a registry link is in its place, and the backup did not record one");
            return nullptr;
        }
    }
    HKEY key = nullptr;
    // An empty name would give back the parent's own handle.
    if (parent != nullptr && !name.empty()) {
        if (Registry().OpenKey(parent, name.c_str(), &key) == ERROR_SUCCESS && key != nullptr) {
            return key;
        }
        key = nullptr;
        if (Registry().CreateKey(parent, name.c_str(), &key) == ERROR_SUCCESS && key != nullptr) {
            return key;
        }
    }
    ShowArrowCursor();
    problems.Report("couldn't create key " + JoinedPath(stack));
    return nullptr;
}

void CRegistryLib::LoadAsXml_CloseKey(HKEY key) {
    // A stack entry of a root name alone holds the predefined key itself, which stays open.
    if (key != nullptr && !engine::IsPredefinedKey(key)) {
        Registry().CloseKey(key);
    }
}

void CRegistryLib::LoadAsXml_SetValue(HKEY key, const std::string& keyPath, const PendingValue& value,
                                      RestoreProblems& problems) {
    if (key == nullptr) {
        return;
    }
    RestoredValue restored;
    static const BYTE kNoData = 0; // an empty value (only written with its raw bytes) still needs a buffer
    if (DecodePendingValue(value, restored)) {
        switch (CompareWithRegistry(Registry(), key, restored)) {
        case Current::Same:
            return; // already as the backup has it
        case Current::Differs:
            // Never replaced without the user's word: the value may have been changed since the fix.
            m_lastRestore.differing.push_back(ValuePath(keyPath, restored, value));
            if (m_overwrite == OverwritePolicy::Skip) {
                return;
            }
            break;
        case Current::Missing:
            break;
        }
        if (Registry().SetValueEx(key, restored.unnamed ? nullptr : restored.name.c_str(), restored.type,
                                  restored.data.empty() ? &kNoData : restored.data.data(),
                                  static_cast<DWORD>(restored.data.size())) == ERROR_SUCCESS) {
            ++m_lastRestore.written;
            return;
        }
    }
    ShowArrowCursor();
    problems.Report("couldn't set value " + value.name);
}
