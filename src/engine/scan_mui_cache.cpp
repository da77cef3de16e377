// The MUI cache: the shell's remembered names of programs, one value per program and detail, named
// "<program path>.FriendlyAppName" or "<program path>.ApplicationCompany". Those of programs that are gone.
#include "engine/family_support.h"
#include "engine/registry_lib.h"

#include <cstring>

namespace {

constexpr char kMuiCacheKey[] =
    "HKEY_CURRENT_USER\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";

// The program path of a value name, or "" for a name of another form.
std::string ProgramOf(const std::string& name) {
    for (const char* suffix : {".FriendlyAppName", ".ApplicationCompany"}) {
        const std::size_t length = std::strlen(suffix);
        if (name.size() > length && _stricmp(name.c_str() + name.size() - length, suffix) == 0) {
            return name.substr(0, name.size() - length);
        }
    }
    return std::string();
}

} // namespace

engine::Verdict CRegistryLib::JudgeMuiCacheValue(const std::string& /*keyPath*/, const CRegValue& value) {
    // "@file,-id" names a resource string and "LangID" the cache's language: neither is a program.
    const std::string& name = value.m_strName;
    if (name.empty() || name[0] == '@' || _stricmp(name.c_str(), "LangID") == 0 ||
        name == kDefaultValueName) {
        return engine::Verdict::CannotJudge;
    }
    const std::string program = ProgramOf(name);
    // The cache holds full paths; a bare name would be searched for and could be another program.
    if (program.find('\\') == std::string::npos) {
        return engine::Verdict::CannotJudge;
    }
    return Judge().Judge(engine::Reference::Path, program);
}

void CRegistryLib::ScanRegistryMuiCache(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    ScanValueEntries(kMuiCacheKey, kCategoryMuiCache, "Scanning MUI Cache", &CRegistryLib::JudgeMuiCacheValue,
                     counts);
    AppendRow(errors, kDescriptionMuiCache, counts);
}
