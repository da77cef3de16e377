// orvalin-cli restore FILE [--overwrite]: writes a backup file back into the registry. The messages of the
// restore (and its outcome) go to stderr. A value that exists with other data than the backup's is left as it
// is and listed, unless --overwrite is given.
#include "backup/shortcut_list.h"
#include "backup/xml_reader.h"
#include "base/message_box.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "engine/registry_lib.h"
#include "shortcuts/shortcut_backup.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace cli {
namespace {

constexpr char kOutcomeCaption[] = "Registry Restoration";

// The shortcuts the backup file lists, as the shortcut restore takes them.
shortcuts::ListedShortcuts ListedIn(const std::string& backupFile) {
    if (GetFileAttributesA(shortcuts::ShortcutBackupFolder(backupFile).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {}; // nothing kept beside it: the file need not be read again
    }
    const backup::ShortcutList list = backup::ReadShortcutList(backupFile);
    return shortcuts::ListedShortcuts{list.listing, list.paths};
}

int Restore(const std::string& path, bool overwrite) {
    base::MessageBoxes& boxes = base::ConsoleMessageBoxes();
    CRegistryLib engine(engine::Win32Registry(), boxes);
    engine.m_overwrite = overwrite ? OverwritePolicy::Replace : OverwritePolicy::Skip;
    engine.m_nRestoreBoxLimit = static_cast<std::size_t>(-1); // stderr takes every failure in turn
    CXmlReader reader;
    const int loaded = engine.LoadAsXml(reader, path);
    const std::vector<std::string>& differing = engine.m_lastRestore.differing;
    for (const std::string& value : differing) {
        PrintError(std::string(overwrite ? "restore: replaced (it had other data): "
                                         : "restore: left as it is (it has other data): ") +
                   value);
    }
    const bool skipped = !overwrite && !differing.empty();
    if (skipped) {
        PrintError("restore: " + std::to_string(differing.size()) +
                   " value(s) differ from the backup and were kept; --overwrite replaces them");
    }
    // Shortcuts a fix kept beside this backup go back too; one that cannot stays in the backup folder.
    const shortcuts::ShortcutRestoreResult links = shortcuts::RestoreShortcuts(path, ListedIn(path));
    if (!links.restored.empty()) {
        std::fprintf(stderr, "restore: %zu shortcut(s) put back\n", links.restored.size());
    }
    for (const std::string& link : links.notRestored) {
        PrintError("restore: shortcut not put back (kept in the backup folder): " + link);
    }
    for (const std::string& file : links.leftInFolder) {
        PrintError("restore: left where it is (the fix did not move it there): " + file);
    }
    if (!links.notRestored.empty()) {
        PrintError("restore: the shortcut folder of this backup could not be put back whole");
    }
    if (loaded != 1 || skipped || !links.notRestored.empty()) {
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            PrintError("restore: cannot open '" + path + "'");
        }
        boxes.Show(nullptr, "Registry Restoration Failed", kOutcomeCaption, MB_OK);
        return kExitFailure;
    }
    boxes.Show(nullptr, "Registry Restored Successfuly", kOutcomeCaption, MB_OK);
    return kExitOk;
}

} // namespace

int RestoreCommand(const Args& args) {
    std::string file;
    bool overwrite = false;
    for (const std::string& arg : args) {
        if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg.rfind("--", 0) == 0) {
            return UsageError("restore: unknown argument '" + arg + "'");
        } else if (!file.empty() || arg.empty()) {
            return UsageError("restore: exactly one backup file expected");
        } else {
            file = arg;
        }
    }
    if (file.empty()) {
        return UsageError("restore: exactly one backup file expected");
    }
    try {
        return Restore(file, overwrite);
    } catch (const std::exception& e) {
        PrintError(std::string("restore failed: ") + e.what());
    } catch (...) {
        PrintError("restore failed");
    }
    return kExitFailure;
}

} // namespace cli
