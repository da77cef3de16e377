// CRegistryLib::FixRegistry and its five passes: back up each finding, then delete it.
#include "backup/backup_entry.h"
#include "backup/backup_format.h"
#include "backup/backup_name.h"
#include "backup/xml_writer.h"
#include "engine/registry_lib.h"

#include <cctype>
#include <memory>

namespace {

struct FixPass {
    const char* categories[2]; // upper case; the second may be null
    const char* keyStatus;
    const char* valueStatus;
    const char* description;
};

constexpr FixPass kCLSIDPass = {{"CLSID", "PROGID"}, "Fixing CLSID ", "Fixing CLSID ", kDescriptionCLSID};
constexpr FixPass kHelpPass = {
    {"HELP", nullptr}, "Fixing Help Files ", "Fixing Help Files ", kDescriptionHelp};
constexpr FixPass kFontsPass = {{"FONT", nullptr}, "Fixing fonts ", "Fixing fonts ", kDescriptionFonts};
constexpr FixPass kSharedToolsPass = {
    {"SHAREDTOOLS", nullptr}, "Fixing Shared tools ", "Fixing Shared Tools ", kDescriptionSharedTools};
constexpr FixPass kSharedFilesPass = {
    {"SHAREDFILE", nullptr}, "Fixing Shared files ", "Fixing Shared files ", kDescriptionSharedFiles};

// The code of a finding that was not deleted because its backup entry is missing or because nothing may be
// deleted through its name: counted neither fixed nor denied.
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
// like a deletion that met the same code (gone: neither; refused: denied).
LONG UnwrittenCode(const BackupEntryResult& backup) {
    return backup.openCode != ERROR_SUCCESS ? backup.openCode : kNotDeleted;
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
    int tally = 0;
    for (const auto& finding : engine.m_arrErrorLog) {
        if (!Selects(pass, finding->GetCategory())) {
            continue;
        }
        if (engine.m_bBackupFailed) {
            continue; // the backup is broken: nothing more is deleted
        }
        const std::string keyPath = finding->GetKeyPath();
        std::string subKey = keyPath;
        const std::string root = CRegistryLib::SeperateMainKey(subKey);
        LONG code = kNotDeleted;

        if (finding->GetKind() == kKindKey) {
            const BackupEntryResult backup = WriteBackupEntry(engine, writer, keyPath, nullptr);
            engine.m_bBackupFailed = backup.writeFailed;
            code = backup.written ? engine.RegDelKey(root, subKey) : UnwrittenCode(backup);
            if (engine.m_pfnProgress != nullptr) {
                engine.m_pfnProgress(root + "\n" + subKey, pass.keyStatus, 0, 0);
            }
        } else if (const CRegValue* value = finding->GetValue()) {
            const BackupEntryResult backup = WriteBackupEntry(engine, writer, keyPath, value);
            engine.m_bBackupFailed = backup.writeFailed;
            if (engine.m_pfnProgress != nullptr) {
                engine.m_pfnProgress(root + "\n" + subKey + "\n" + value->m_strName, pass.valueStatus, 0, 0);
            }
            if (!backup.written) {
                code = UnwrittenCode(backup);
            } else if (value->m_strName != kDefaultValueName) {
                code = engine.RegDelKeyValue(root, subKey, value->m_strName);
            }
            // "(Default)" is only the display name of the unnamed value: it is backed up but never deleted
            // through that name.
        }

        if (engine.m_dwFixPauseMs > 0) {
            Sleep(engine.m_dwFixPauseMs);
        }
        if (code == ERROR_SUCCESS) {
            ++tally;
        } else if (code == ERROR_ACCESS_DENIED) {
            --tally;
        }
    }
    for (const auto& row : errors) {
        if (row->m_strDescription == pass.description) {
            row->m_nFixed = tally;
        }
    }
}

} // namespace

void CRegistryLib::FixRegistry(ScanErrorList& errors, const std::string& backupFile) {
    CXmlWriter& writer = BackupWriter(*this);
    writer.Close();
    m_bBackupFailed = false;
    m_strBackupFile = backup::ReserveBackupFile(backupFile);
    if (m_strBackupFile.empty()) {
        m_bBackupFailed = true; // no file: every pass leaves its findings in place
    } else {
        writer.SetFileName(m_strBackupFile);
        if (!writer.WriteStartTag(CXmlElement(kRootElement), 1) || !writer.Flush()) {
            m_bBackupFailed = true;
        }
    }

    FixRegistryCLSID(errors);
    FixRegistryHelp(errors);
    FixRegistryFonts(errors);
    FixRegistrySharedTools(errors);
    FixRegistrySharedFiles(errors);

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
