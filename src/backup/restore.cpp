// CRegistryLib::RestoreRegistryFrom and LoadAsXml: a backup file written back into the registry.
#include "backup/backup_format.h"
#include "backup/backup_walk.h"
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

int CRegistryLib::LoadAsXml(CXmlReader& reader, const std::string& path) {
    reader.SetShowErrors(true);
    reader.SetErrorDisplay(
        [this](const std::string& text) { Messages().Show(GetActiveWindow(), text, kCaption, MB_OK); });
    reader.SetFileName(path);

    // Keys are opened (and created) as the walk reaches them, so a file cut short still restores every
    // whole entry before the cut.
    class Restorer final : public BackupVisitor {
    public:
        explicit Restorer(CRegistryLib& lib) : m_lib(lib) {}
        ~Restorer() override {
            for (const OpenKeyEntry& entry : m_stack) {
                m_lib.LoadAsXml_CloseKey(entry.m_hKey);
            }
        }
        Restorer(const Restorer&) = delete;
        Restorer& operator=(const Restorer&) = delete;

        bool OpenKey(const std::string& name, int, bool link) override {
            m_stack.push_back(OpenKeyEntry{name, nullptr, link});
            m_stack.back().m_hKey = m_lib.LoadAsXml_OpenKey(m_stack);
            return m_stack.back().m_hKey != nullptr;
        }
        void CloseKey() override {
            m_lib.LoadAsXml_CloseKey(m_stack.back().m_hKey);
            m_stack.pop_back();
        }
        void Value(const PendingValue& value) override {
            m_lib.LoadAsXml_SetValue(m_stack.back().m_hKey, value);
        }

    private:
        CRegistryLib& m_lib;
        std::vector<OpenKeyEntry> m_stack;
    };

    int result = 1;
    {
        Restorer restorer(*this);
        if (!WalkBackup(reader, restorer)) {
            result = 0;
        }
    }
    // A file that cannot be opened restores nothing: that is a failure, not an empty success.
    if (!reader.IsOpen() || !reader.GetErrorText().empty()) {
        result = 0;
    }
    reader.Close();
    return result;
}

HKEY CRegistryLib::LoadAsXml_OpenKey(const std::vector<OpenKeyEntry>& stack) {
    if (stack.empty()) {
        return nullptr;
    }
    const std::string& root = stack.front().m_strName;
    std::string subKey;
    for (std::size_t i = 1; i < stack.size(); ++i) {
        if (!subKey.empty()) {
            subKey += '\\';
        }
        subKey += stack[i].m_strName;
    }
    // The keys above were checked when they were opened. This one, when it exists as a registry link, is
    // written through only when the backup recorded it as one; otherwise its entry would land wherever the
    // link now points.
    if (stack.size() > 1 && !stack.back().m_bLink) {
        engine::KeyHandle existing(Registry());
        bool link = false;
        if (engine::OpenWithoutFollowing(Registry(), stack[stack.size() - 2].m_hKey,
                                         stack.back().m_strName.c_str(), KEY_QUERY_VALUE, existing,
                                         link) == ERROR_SUCCESS &&
            link) {
            ShowArrowCursor();
            Messages().Show(GetActiveWindow(),
                            "couldn't create key " + root + "\\" + subKey +
                                ": a registry link is in its place, and the backup did not record one",
                            kCaption, MB_OK);
            return nullptr;
        }
    }
    HKEY key = nullptr;
    if (OpenKey(root, subKey, &key) == ERROR_SUCCESS) {
        return key;
    }
    HKEY rootKey = nullptr;
    if (!MapRootKey(root, &rootKey)) {
        return nullptr;
    }
    key = nullptr;
    if (Registry().CreateKey(rootKey, subKey.c_str(), &key) == ERROR_SUCCESS && key != nullptr) {
        return key;
    }
    ShowArrowCursor();
    Messages().Show(GetActiveWindow(), "couldn't create key " + root + "\\" + subKey, kCaption, MB_OK);
    return nullptr;
}

void CRegistryLib::LoadAsXml_CloseKey(HKEY key) {
    // A stack entry of a root name alone holds the predefined key itself, which stays open.
    if (key != nullptr && !engine::IsPredefinedKey(key)) {
        Registry().CloseKey(key);
    }
}

void CRegistryLib::LoadAsXml_SetValue(HKEY key, const std::string& name, const std::string& text,
                                      const std::string& typeText) {
    PendingValue pending;
    pending.name = name;
    pending.text = text;
    pending.typeText = typeText;
    LoadAsXml_SetValue(key, pending);
}

void CRegistryLib::LoadAsXml_SetValue(HKEY key, const PendingValue& value) {
    if (key == nullptr) {
        return;
    }
    RestoredValue restored;
    static const BYTE kNoData = 0; // an empty value (only written with its raw bytes) still needs a buffer
    if (DecodePendingValue(value, restored) &&
        Registry().SetValueEx(key, restored.unnamed ? nullptr : restored.name.c_str(), restored.type,
                              restored.data.empty() ? &kNoData : restored.data.data(),
                              static_cast<DWORD>(restored.data.size())) == ERROR_SUCCESS) {
        return;
    }
    ShowArrowCursor();
    Messages().Show(GetActiveWindow(), "couldn't set value " + value.name, kCaption, MB_OK);
}
