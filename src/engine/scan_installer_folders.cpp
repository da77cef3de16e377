// Installer folders: the folders Windows Installer records as its products', one value name each.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

namespace {

constexpr char kFoldersKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";

} // namespace

engine::Verdict CRegistryLib::JudgeInstallerFolderValue(const std::string& /*keyPath*/,
                                                        const CRegValue& value) {
    const std::string& folder = value.m_strName;
    if (folder.empty() || folder == kDefaultValueName) {
        return engine::Verdict::CannotJudge;
    }
    // A bare name is no folder of a product: it would be searched for as a program.
    if (folder.find('\\') == std::string::npos) {
        return engine::Verdict::CannotJudge;
    }
    return Judge().Judge(engine::Reference::Path, folder);
}

void CRegistryLib::ScanRegistryInstallerFolders(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    ScanValueEntries(kFoldersKey, kCategoryInstallerFolder, "Scanning Installer Folders",
                     &CRegistryLib::JudgeInstallerFolderValue, counts);
    AppendRow(errors, kDescriptionInstallerFolders, counts);
}
