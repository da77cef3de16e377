// Type libraries: each "TypeLib\{id}\<version>\<lcid>\win32" or "win64" key whose file is gone. Only that
// platform key is a finding; the other platforms and versions of the library stay.
#include "engine/exact_text.h"
#include "engine/family_support.h"
#include "engine/registry_lib.h"

#include <cctype>

namespace {

constexpr char kTypeLibKeys[][64] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib",
    "HKEY_CURRENT_USER\\Software\\Classes\\TypeLib",
};

// A locale key is a hexadecimal number ("0", "409"); FLAGS and HELPDIR sit beside them.
bool IsLocaleKey(const std::string& name) {
    for (const char c : name) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
    }
    return !name.empty();
}

bool IsPlatformKey(const std::string& name) {
    return _stricmp(name.c_str(), "win32") == 0 || _stricmp(name.c_str(), "win64") == 0;
}

bool EndsWithWin32(const std::string& keyPath) {
    return keyPath.size() >= 6 && _stricmp(keyPath.c_str() + keyPath.size() - 6, "\\win32") == 0;
}

} // namespace

engine::Verdict CRegistryLib::JudgeTypeLibKey(const std::string& keyPath, const RegValueList& values) {
    using engine::Verdict;
    std::string file;
    if (!engine::StringText(engine::FindValue(values, kDefaultValueName), &file)) {
        return Verdict::CannotJudge;
    }
    // A 32-bit platform key serves 32-bit programs, which read System32 as SysWOW64.
    const bool thirtyTwoBit = EndsWithWin32(keyPath);
    // "file\3" names the third type library resource of the file.
    return engine::JudgeIndexed(
        [&](const std::string& text) { return JudgeAs(engine::Reference::Path, text, thirtyTwoBit); }, file,
        '\\');
}

void CRegistryLib::ScanRegistryTypeLibs(ScanErrorList& errors) {
    if (!StartFamily()) {
        return;
    }
    Counts counts;
    for (const char* typeLibPath : kTypeLibKeys) {
        std::string subKey = typeLibPath;
        const std::string root = SeperateMainKey(subKey);
        engine::KeyHandle typeLibs(m_registry);
        if (OpenKey(root, subKey, typeLibs.Receive()) != ERROR_SUCCESS) {
            continue;
        }
        engine::EachSubKey(m_registry, m_stop, typeLibs.Get(), [&](const std::string& id, HKEY library) {
            engine::EachSubKey(m_registry, m_stop, library, [&](const std::string& version, HKEY versionKey) {
                engine::EachSubKey(
                    m_registry, m_stop, versionKey, [&](const std::string& locale, HKEY localeKey) {
                        if (!IsLocaleKey(locale)) {
                            return;
                        }
                        engine::EachSubKey(
                            m_registry, m_stop, localeKey, [&](const std::string& platform, HKEY key) {
                                if (!IsPlatformKey(platform)) {
                                    return;
                                }
                                ++counts.scanned;
                                RegValueList values;
                                if (AddRegistryValues(key, values) != ERROR_SUCCESS ||
                                    !engine::KeyTextExact(m_registry, key, true)) {
                                    return;
                                }
                                const std::string keyPath = std::string(typeLibPath) + "\\" + id + "\\" +
                                                            version + "\\" + locale + "\\" + platform;
                                if (JudgeTypeLibKey(keyPath, values) == engine::Verdict::Missing) {
                                    const CRegValue* file = engine::FindValue(values, kDefaultValueName);
                                    if (AddFinding(kCategoryTypeLib, kKindKey, keyPath,
                                                   std::make_unique<CRegValue>(*file))) {
                                        ++counts.found;
                                    }
                                }
                                Progress(Judge().TestedPath(), "Scanning Type Libraries", counts);
                            });
                    });
            });
        });
    }
    AppendRow(errors, kDescriptionTypeLibs, counts);
}
