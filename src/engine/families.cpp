// The table of registry families and the console tool's choice of some of them.
#include "engine/registry_lib.h"

#include <iterator>

const RegistryFamily kRegistryFamilies[] = {
    {"clsid", kDescriptionCLSID, &CRegistryLib::ScanRegistryCLSID},
    {"helpFiles", kDescriptionHelp, &CRegistryLib::ScanRegistryHelp},
    {"sharedTools", kDescriptionSharedTools, &CRegistryLib::ScanRegistrySharedTools},
    {"sharedFiles", kDescriptionSharedFiles, &CRegistryLib::ScanRegistrySharedFiles},
    {"fonts", kDescriptionFonts, &CRegistryLib::ScanRegistryFonts},
    {"appPaths", kDescriptionAppPaths, &CRegistryLib::ScanRegistryAppPaths},
    {"startup", kDescriptionStartup, &CRegistryLib::ScanRegistryStartup},
    {"software", kDescriptionSoftware, &CRegistryLib::ScanRegistrySoftware},
    {"typeLibs", kDescriptionTypeLibs, &CRegistryLib::ScanRegistryTypeLibs},
    {"sounds", kDescriptionSounds, &CRegistryLib::ScanRegistrySounds},
    {"muiCache", kDescriptionMuiCache, &CRegistryLib::ScanRegistryMuiCache},
    {"installerFolders", kDescriptionInstallerFolders, &CRegistryLib::ScanRegistryInstallerFolders},
};
const std::size_t kRegistryFamilyCount = std::size(kRegistryFamilies);

const char* FamilyName(const std::string& description) {
    for (const RegistryFamily& family : kRegistryFamilies) {
        if (description == family.description) {
            return family.name;
        }
    }
    return "";
}

bool ParseFamilyList(const std::string& list, std::vector<bool>* selected, bool* shortcuts,
                     std::string* unknown) {
    selected->assign(kRegistryFamilyCount, false);
    *shortcuts = false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        bool known = _stricmp(name.c_str(), kShortcutsFamily) == 0;
        *shortcuts = *shortcuts || known;
        for (std::size_t i = 0; i < kRegistryFamilyCount; ++i) {
            if (_stricmp(name.c_str(), kRegistryFamilies[i].name) == 0) {
                (*selected)[i] = known = true;
            }
        }
        if (!known) {
            *unknown = name;
            return false;
        }
        if (comma == std::string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

bool CRegistryLib::SelectFamilies(const std::string& list, std::string* unknown) {
    if (list.empty()) {
        m_selected.clear();
        return true;
    }
    std::vector<bool> selected;
    bool shortcuts = false;
    if (!ParseFamilyList(list, &selected, &shortcuts, unknown)) {
        return false;
    }
    m_selected = std::move(selected);
    return true;
}

std::size_t CRegistryLib::SelectedFamilyCount() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < kRegistryFamilyCount; ++i) {
        count += FamilySelected(i) ? 1 : 0;
    }
    return count;
}
