// orvalin-cli restore FILE: writes a backup file back into the registry. The messages of the restore
// (and its outcome) go to stderr.
#include "backup/xml_reader.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "engine/registry_lib.h"
#include "shortcuts/shortcut_backup.h"
#include "base/message_box.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace cli {
namespace {

constexpr char kOutcomeCaption[] = "Registry Restoration";

int Restore(const std::string& path) {
    base::MessageBoxes& boxes = base::ConsoleMessageBoxes();
    CRegistryLib engine(engine::Win32Registry(), boxes);
    CXmlReader reader;
    const int loaded = engine.LoadAsXml(reader, path);
    // Shortcuts a fix kept beside this backup go back too; one that cannot stays in the backup folder.
    const shortcuts::ShortcutRestoreResult links = shortcuts::RestoreShortcuts(path);
    if (!links.restored.empty()) {
        std::fprintf(stderr, "restore: %zu shortcut(s) put back\n", links.restored.size());
    }
    for (const std::string& link : links.notRestored) {
        PrintError("restore: shortcut not put back (kept in the backup folder): " + link);
    }
    if (loaded != 1) {
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
    if (args.size() != 1 || args[0].empty()) {
        return UsageError("restore: exactly one backup file expected");
    }
    if (args[0].rfind("--", 0) == 0) {
        return UsageError("restore: unknown argument '" + args[0] + "'");
    }
    try {
        return Restore(args[0]);
    } catch (const std::exception& e) {
        PrintError(std::string("restore failed: ") + e.what());
    } catch (...) {
        PrintError("restore failed");
    }
    return kExitFailure;
}

} // namespace cli
