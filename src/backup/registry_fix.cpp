// CRegistryLib::FixRegistry and its passes, one per family: back up each finding, then delete it.
#include "backup/backup_entry.h"
#include "backup/backup_format.h"
#include "backup/backup_name.h"
#include "backup/shortcut_list.h"
#include "backup/xml_writer.h"
#include "engine/fix_tally.h"
#include "engine/key_handle.h"
#include "engine/registry_lib.h"
#include "engine/registry_links.h"

#include <cctype>
#include <memory>

namespace {

struct FixPass {
    const char* categories[2]; // upper case; the second may be null
    const char* keyStatus;
    const char* valueStatus;
    const char* description;
    // Parents of a removed key removed too while they are left empty (a type library's locale and version).
    int emptyParents = 0;
    // The entry is the unnamed value itself, removed as such (a sound event's ".Current").
    bool removesDefault = false;
};

constexpr FixPass kCLSIDPass = {{"CLSID", "PROGID"}, "Fixing CLSID ", "Fixing CLSID ", kDescriptionCLSID};
constexpr FixPass kHelpPass = {
    {"HELP", nullptr}, "Fixing Help Files ", "Fixing Help Files ", kDescriptionHelp};
constexpr FixPass kFontsPass = {{"FONT", nullptr}, "Fixing fonts ", "Fixing fonts ", kDescriptionFonts};
constexpr FixPass kSharedToolsPass = {
    {"SHAREDTOOLS", nullptr}, "Fixing Shared tools ", "Fixing Shared Tools ", kDescriptionSharedTools};
constexpr FixPass kSharedFilesPass = {
    {"SHAREDFILE", nullptr}, "Fixing Shared files ", "Fixing Shared files ", kDescriptionSharedFiles};
constexpr FixPass kFurtherPasses[] = {
    {{"APPPATH", nullptr}, "Fixing Application Paths ", "Fixing Application Paths ", kDescriptionAppPaths},
    {{"STARTUP", nullptr}, "Fixing Startup Programs ", "Fixing Startup Programs ", kDescriptionStartup},
    {{"SOFTWARE", nullptr}, "Fixing Software Entries ", "Fixing Software Entries ", kDescriptionSoftware},
    {{"TYPELIB", nullptr}, "Fixing Type Libraries ", "Fixing Type Libraries ", kDescriptionTypeLibs, 3},
    {{"SOUND", nullptr}, "Fixing Sound Files ", "Fixing Sound Files ", kDescriptionSounds, 0, true},
    {{"MUICACHE", nullptr}, "Fixing MUI Cache ", "Fixing MUI Cache ", kDescriptionMuiCache},
    {{"INSTALLERFOLDER", nullptr},
     "Fixing Installer Folders ",
     "Fixing Installer Folders ",
     kDescriptionInstallerFolders},
};

// The code of a finding that nothing may be deleted through (the unnamed value's display name): counted
// neither removed nor refused.
constexpr LONG kNotDeleted = ERROR_CANCELLED;

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool Selects(const FixPass& pass, const std::string& category) {
    const std::string upper = Upper(category);
    for (const char* selected : pass.categories) {
        if (selected != nullptr && upper == selected) {
            return true;
        }
    }
    return false;
}

// The code that decides the tally when the entry could not be written: a key that cannot be opened counts
// like a deletion that met the same code (gone: neither; refused: refused); an incomplete entry is a
// finding left in place.
LONG UnwrittenCode(const BackupEntryResult& backup) {
    return backup.openCode != ERROR_SUCCESS ? backup.openCode : kNotBackedUp;
}

void NotRemoved(CRegistryLib& engine, const std::string& what, const std::string& why) {
    engine.m_arrNotRemoved.push_back(what + ": " + why);
}

bool SelectedForFix(const CRegistryLib& engine, std::size_t index) {
    return engine.m_fixSelection.empty() ||
           (index < engine.m_fixSelection.size() && engine.m_fixSelection[index]);
}

// The engine's backup writer, made on first use.
CXmlWriter& BackupWriter(CRegistryLib& engine) {
    if (!engine.m_xmlWriter) {
        engine.m_xmlWriter = std::make_shared<CXmlWriter>();
    }
    return *engine.m_xmlWriter;
}

void RunPass(CRegistryLib& engine, ScanErrorList& errors, const FixPass& pass) {
    CXmlWriter& writer = BackupWriter(engine);
    FixTally tally;
    int noLongerBroken = 0;
    bool classBroken = false;
    bool classChosen = true;
    const auto& findings = engine.m_arrErrorLog;
    for (std::size_t index = 0; index < findings.size(); ++index) {
        const auto& finding = findings[index];
        if (!Selects(pass, finding->GetCategory())) {
            continue;
        }
        // A ProgID goes only with the class it follows: a class left out of the fix keeps its ProgIDs.
        const std::string category = Upper(finding->GetCategory());
        if (category == kCategoryCLSID) {
            classChosen = SelectedForFix(engine, index);
        }
        if (!SelectedForFix(engine, index) || (category == kCategoryProgID && !classChosen)) {
            continue;
        }
        if (engine.m_bBackupFailed) {
            continue; // the backup is broken: nothing more is deleted
        }
        // Between two entries: everything removed so far is complete in the backup.
        if (engine.m_bFixStopped || StopRequested()) {
            engine.m_bFixStopped = true;
            continue;
        }
        const std::string keyPath = finding->GetKeyPath();
        std::string subKey = keyPath;
        const std::string root = CRegistryLib::SeperateMainKey(subKey);
        LONG code = kNotDeleted;
        // A family's own key and a name the ANSI calls cannot carry are refused below whatever they hold
        // now, so that they are reported as faults rather than passed over.
        const bool refusedAnyway = (finding->GetKind() == kKindKey && engine.IsContainerKey(keyPath)) ||
                                   (finding->GetValue() != nullptr &&
                                    finding->GetValue()->m_strName.find('\0') != std::string::npos);
        if (refusedAnyway) {
            classBroken = false; // a ProgID after it goes with no class
        }
        // The results may have waited for hours: what was reinstalled meanwhile is left alone.
        if (!refusedAnyway && engine.m_bJudgeAgain && !engine.StillBroken(*finding, &classBroken)) {
            ++noLongerBroken;
            continue;
        }

        if (finding->GetKind() == kKindKey) {
            if (engine.IsContainerKey(keyPath)) {
                // Refused before its backup: a key that holds a whole family is never one finding.
                NotRemoved(engine, keyPath,
                           "holds the entries of a family (a fault of the scan), never removed");
                code = kNotDeleted;
            } else {
                const BackupEntryResult backup = WriteBackupEntry(engine, writer, keyPath, nullptr);
                engine.m_bBackupFailed = backup.writeFailed;
                code = backup.written ? engine.RegDelKey(root, subKey) : UnwrittenCode(backup);
                if (code == ERROR_SUCCESS && pass.emptyParents > 0) {
                    engine.RemoveEmptyParents(keyPath, pass.emptyParents);
                }
                if (!backup.refusal.empty()) {
                    // Left in place on purpose and named as such, not counted as refused.
                    NotRemoved(engine, keyPath, backup.refusal);
                    code = kNotDeleted;
                } else if (code == kLinkInTheWay || code == kTooDeep) {
                    NotRemoved(engine, keyPath,
                               code == kLinkInTheWay ? "a registry link appeared below it"
                                                     : "too deep to remove");
                }
            }
            if (engine.m_pfnProgress != nullptr) {
                engine.m_pfnProgress(root + "\n" + subKey, pass.keyStatus, 0, 0);
            }
        } else if (const CRegValue* value = finding->GetValue();
                   value != nullptr && value->m_strName.find('\0') != std::string::npos) {
            // The ANSI calls would name another value, the part before the NUL.
            NotRemoved(engine, keyPath, "a value name the registry calls here cannot name exactly");
        } else if (value != nullptr) {
            const BackupEntryResult backup = WriteBackupEntry(engine, writer, keyPath, value);
            engine.m_bBackupFailed = backup.writeFailed;
            if (engine.m_pfnProgress != nullptr) {
                engine.m_pfnProgress(root + "\n" + subKey + "\n" + value->m_strName, pass.valueStatus, 0, 0);
            }
            if (!backup.refusal.empty()) {
                NotRemoved(engine, keyPath + "\\" + value->m_strName, backup.refusal);
            }
            if (!backup.refusal.empty()) {
                code = kNotDeleted;
            } else if (!backup.written) {
                code = UnwrittenCode(backup);
            } else if (value->m_strName != kDefaultValueName) {
                code = engine.RegDelKeyValue(root, subKey, value->m_strName);
            } else if (pass.removesDefault) {
                code = engine.RegDelKeyValue(root, subKey, std::string());
            }
            // "(Default)" is only the display name of the unnamed value: it is backed up but never deleted
            // through that name.
        }

        tally.Add(code, kNotDeleted);
    }
    for (const auto& row : errors) {
        if (row->m_strDescription == pass.description) {
            tally.StoreIn(*row);
            row->m_nNoLongerBroken = noLongerBroken;
        }
    }
}

} // namespace

void CRegistryLib::FixRegistry(ScanErrorList& errors, const std::string& backupFile) {
    CXmlWriter& writer = BackupWriter(*this);
    writer.Close();
    m_bBackupFailed = false;
    m_bFixStopped = false;
    NewJudge();
    m_arrNotRemoved.clear();
    m_strBackupProblem.clear();
    m_strBackupFile.clear();
    if (StopRequested()) {
        m_bFixStopped = true; // stopped before it began: no file, nothing removed
        return;
    }
    m_strBackupFile = backup::ReserveBackupFile(backupFile, &m_strBackupProblem);
    if (m_strBackupFile.empty()) {
        m_bBackupFailed = true; // no file: every pass leaves its findings in place
    } else {
        writer.SetFileName(m_strBackupFile);
        // "shortcuts" says that the fix lists here every shortcut file it moves beside the backup, so that a
        // restore puts back only those.
        CXmlElement root(kRootElement);
        root.AddAttribute(backup::kShortcutsListedAttribute, "listed");
        if (!writer.WriteStartTag(root, 1) || !writer.Flush()) {
            m_bBackupFailed = true;
        }
    }

    FixRegistryCLSID(errors);
    FixRegistryHelp(errors);
    FixRegistryFonts(errors);
    FixRegistrySharedTools(errors);
    FixRegistrySharedFiles(errors);
    for (const FixPass& pass : kFurtherPasses) {
        RunPass(*this, errors, pass);
    }

    // Every entry is already on disk; a missing end tag alone loses nothing.
    writer.WriteEndTag(kRootElement, -1);
    writer.Flush();
    writer.Close();
}

void CRegistryLib::FixRegistryCLSID(ScanErrorList& errors) {
    RunPass(*this, errors, kCLSIDPass);
}

void CRegistryLib::FixRegistryHelp(ScanErrorList& errors) {
    RunPass(*this, errors, kHelpPass);
}

void CRegistryLib::FixRegistryFonts(ScanErrorList& errors) {
    RunPass(*this, errors, kFontsPass);
}

void CRegistryLib::FixRegistrySharedTools(ScanErrorList& errors) {
    RunPass(*this, errors, kSharedToolsPass);
}

void CRegistryLib::FixRegistrySharedFiles(ScanErrorList& errors) {
    RunPass(*this, errors, kSharedFilesPass);
}

void CRegistryLib::RemoveEmptyParents(const std::string& keyPath, int levels) {
    std::string path = keyPath;
    for (int level = 0; level < levels; ++level) {
        const std::size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos) {
            return;
        }
        path.erase(slash);
        if (IsContainerKey(path)) {
            return;
        }
        std::string subKey = path;
        const std::string root = SeperateMainKey(subKey);
        DWORD subKeys = 1;
        DWORD values = 1;
        {
            engine::KeyHandle key(m_registry);
            if (OpenKey(root, subKey, key.Receive()) != ERROR_SUCCESS ||
                m_registry.QueryInfoKey(key.Get(), &subKeys, nullptr, &values, nullptr, nullptr) !=
                    ERROR_SUCCESS ||
                subKeys != 0 || values != 0 || engine::IsLinkKey(m_registry, key.Get())) {
                return;
            }
        }
        if (RegDelKey(root, subKey) != ERROR_SUCCESS) {
            return;
        }
    }
}

bool CRegistryLib::IsContainerKey(const std::string& keyPath) {
    if (engine::NamesContainerKey(keyPath)) {
        return true;
    }
    // By where the key really is: through a link, the 32-bit view or another spelling it may still be one.
    const auto realName = [this](const std::string& path) {
        std::string subKey = path;
        const std::string root = SeperateMainKey(subKey);
        engine::KeyHandle key(m_registry);
        return OpenKey(root, subKey, key.Receive()) == ERROR_SUCCESS ? m_registry.KeyObjectName(key.Get())
                                                                     : std::string();
    };
    const std::string finding = realName(keyPath);
    if (finding.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < engine::kContainerKeyCount; ++i) {
        const std::string container = realName(engine::kContainerKeys[i]);
        if (!container.empty() && (container == finding || container.rfind(finding + "\\", 0) == 0)) {
            return true;
        }
    }
    return false;
}
