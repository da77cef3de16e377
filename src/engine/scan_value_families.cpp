// The two families that read one key whose values list files: fonts and shared DLLs.
#include "engine/registry_lib.h"

void CRegistryLib::ScanRegistryFonts(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    // The value's data is the font file, usually a bare name inside the Windows fonts folder.
    ScanValueList(FontsKeyPath(), engine::Reference::Font, false, kCategoryFont, "Scanning Fonts", counts);
    AppendRow(errors, kDescriptionFonts, counts);
}

void CRegistryLib::ScanRegistrySharedFiles(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    // Here the value's name is the file; its data is only a usage count.
    ScanValueList("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                  engine::Reference::Path, true, kCategorySharedFile, "Scanning Shared Files", counts);
    AppendRow(errors, kDescriptionSharedFiles, counts);
}
