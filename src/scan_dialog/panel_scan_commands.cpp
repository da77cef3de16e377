#include "scan_dialog/panel_scan_commands.h"

#include "scan_dialog/restore_backup.h"
#include "scan_dialog/thread_summary.h"

void SetScanDialogCommands(PanelCommands& commands, const ScanDialogOptions& options) {
    commands.startScanDialog = [options](HWND panel, const std::string& skinPath) {
        return StartScanDialog(panel, skinPath, options);
    };
    commands.restoreRegistry = [options](HWND panel) {
        return RestoreFromBackupFile(panel, *options.registry, *options.boxes, options.backupFolder);
    };
}
