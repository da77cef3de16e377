#include "scan_dialog/restore_backup.h"

#include <commdlg.h>

#include <atomic>

#include "backup/shortcut_list.h"
#include "base/message_box.h"
#include "engine/registry_lib.h"
#include "scan_dialog/restore_progress.h"
#include "shortcuts/shortcut_backup.h"

namespace {

constexpr char kRestoreCaption[] = "Registry Restoration";

std::string ShortcutsNotBackText(const shortcuts::ShortcutRestoreResult& links,
                                 const std::string& backupFile) {
    std::string text = std::to_string(links.notRestored.size()) +
                       " shortcut(s) could not be put back; they stay in " +
                       shortcuts::ShortcutBackupFolder(backupFile) + ":";
    constexpr std::size_t kNamed = 20;
    for (std::size_t i = 0; i < links.notRestored.size() && i < kNamed; ++i) {
        text += "\n" + links.notRestored[i];
    }
    if (links.notRestored.size() > kNamed) {
        text += "\n...";
    }
    return text;
}

} // namespace

std::string DifferingValuesQuestion(std::size_t differing) {
    return std::to_string(differing) +
           " value(s) in the registry now hold other data than this backup (changed since the repair).\n"
           "Replace them with the backup's data?\n\n"
           "Yes: replace them.  No: keep them and restore only what is missing.";
}

namespace {

// The shortcuts the backup file lists, as the shortcut restore takes them.
shortcuts::ListedShortcuts ListedIn(const std::string& backupFile) {
    if (GetFileAttributesA(shortcuts::ShortcutBackupFolder(backupFile).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return {}; // nothing kept beside it: the file need not be read again
    }
    const backup::ShortcutList list = backup::ReadShortcutList(backupFile);
    return shortcuts::ListedShortcuts{list.listing, list.paths};
}

} // namespace

std::string AskForBackupFile(HWND owner) {
    static const char kFilter[] = "XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0";
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char folder[MAX_PATH * 3] = {};
    const DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    // MAX_PATH UTF-16 units, up to 3 bytes each under the UTF-8 code page.
    char file[MAX_PATH * 3] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folderLength > 0 && folderLength < sizeof folder ? folder : nullptr;
    ofn.lpstrDefExt = "xml";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) {
        return std::string();
    }
    return file;
}

bool RestoreBackup(CRegistryLib& engine, const std::string& backupFile) {
    const bool restored = engine.RestoreRegistryFrom(backupFile);
    // Shortcuts that cannot go back stay in the backup folder: nothing is lost either way.
    shortcuts::RestoreShortcuts(backupFile, ListedIn(backupFile));
    return restored;
}

bool RestoreFromBackupFile(HWND owner) {
    return RestoreFromBackupFile(owner, engine::Win32Registry(), base::SystemMessageBoxes());
}

bool RestoreFromBackupFile(HWND owner, engine::RegistryApi& registry, base::MessageBoxes& boxes) {
    const std::string file = AskForBackupFile(owner);
    return !file.empty() && RestoreFromBackupFile(owner, file, registry, boxes);
}

bool RestoreFromBackupFile(HWND owner, const std::string& file, engine::RegistryApi& registry,
                           base::MessageBoxes& boxes) {
    CRegistryLib engine(registry, boxes);
    std::atomic<int> written{0};
    std::vector<std::string> differing;
    {
        WorkProgressDialog reading(
            kRestoreCaption, [&] { differing = engine.DifferingValues(file); },
            [] { return std::string("Reading the backup file..."); });
        reading.Run(owner);
    }
    if (!differing.empty()) {
        const int answer = boxes.Show(owner, DifferingValuesQuestion(differing.size()), kRestoreCaption,
                                      MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) {
            return false;
        }
        engine.m_overwrite = answer == IDYES ? OverwritePolicy::Replace : OverwritePolicy::Skip;
    }

    bool restored = false;
    shortcuts::ShortcutRestoreResult links;
    WorkProgressDialog progress(
        kRestoreCaption,
        [&] {
            restored = engine.RestoreRegistryFrom(file);
            if (!engine.m_lastRestore.cancelled) {
                links = shortcuts::RestoreShortcuts(file, ListedIn(file));
            }
        },
        [&] { return "Restoring the registry: " + std::to_string(written.load()) + " values written"; });
    engine.m_restoreContinue = [&](int count) {
        written = count;
        return !progress.CancelRequested();
    };
    progress.Run(owner);

    if (engine.m_lastRestore.cancelled) {
        boxes.Show(owner,
                   "The restore was cancelled. " + std::to_string(engine.m_lastRestore.written) +
                       " value(s) had been written; the rest of the backup was not restored.",
                   kRestoreCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!links.notRestored.empty()) {
        boxes.Show(owner, ShortcutsNotBackText(links, file), kRestoreCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    // Values the user chose to keep are not a failure: the rest of the backup is back.
    return restored && links.notRestored.empty();
}
