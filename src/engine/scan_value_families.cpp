// The two families that read one key whose values list files: fonts and shared DLLs.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

namespace {

// SharedDLLs is redirected for 32-bit programs: their installers count their files in the 32-bit view's copy.
// (The Fonts key is shared by both views and read once.)
constexpr const char* kSharedDllsKeys[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
};

} // namespace

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
    std::vector<std::string> seen;
    for (const char* keyPath : kSharedDllsKeys) {
        if (engine::SeenBefore(*this, keyPath, seen)) {
            continue; // the 32-bit view's name of a key both views share
        }
        // Here the value's name is the file; its data is only a usage count.
        ScanValueList(keyPath, engine::Reference::Path, true, kCategorySharedFile, "Scanning Shared Files",
                      counts);
    }
    AppendRow(errors, kDescriptionSharedFiles, counts);
}
