#include "app/panel_commands.h"

#include "app/schedule_commands.h"
#include "scan_dialog/backup_folder.h"
#include "scan_dialog/panel_scan_commands.h"

PanelCommands MakePanelCommands() {
    PanelCommands commands;
    // The scan dialog on its own thread, and the restore from a backup file.
    ScanDialogOptions scan;
    scan.backupFolder = WindowBackupFolder();
    SetScanDialogCommands(commands, scan);
    // The scheduled scans of the user's work item, the live-update program and the support page.
    SetScheduleCommands(commands);
    return commands;
}
