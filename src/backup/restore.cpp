// CRegistryLib::RestoreRegistry and LoadAsXml: a backup file written back into the registry.
#include "backup/backup_format.h"
#include "backup/backup_walk.h"
#include "backup/xml_reader.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "base/message_box.h"

#include <commdlg.h>

#include <cstring>

namespace {

constexpr char kCaption[] = "Orvalin";

void ShowArrowCursor() {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// The folder backups are written to: the current directory, as the full path of a bare file name shows it.
std::string CurrentFolder() {
    char full[MAX_PATH] = {};
    char* filePart = nullptr;
    const DWORD n = GetFullPathNameA("orvalin.exe", sizeof full, full, &filePart);
    if (n == 0 || n >= sizeof full || filePart == nullptr) {
        return std::string();
    }
    std::string folder(full, static_cast<std::size_t>(filePart - full));
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':') {
        folder.pop_back();
    }
    return folder;
}

} // namespace

bool CRegistryLib::RestoreRegistry() {
    // "XML Files (*.xml)|*.xml|All Files (*.*)|*.*||" with its separators as the dialog wants them.
    static const char kFilter[] = "XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0";
    char file[MAX_PATH] = {};
    const std::string folder = CurrentFolder();
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = "xml";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) {
        return false;
    }
    return RestoreRegistryFrom(file);
}

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

        bool OpenKey(const std::string& name, int) override {
            m_stack.push_back(OpenKeyEntry{name, nullptr});
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
