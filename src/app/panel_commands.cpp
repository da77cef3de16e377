#include "app/panel_commands.h"

PanelCommands MakePanelCommands() {
    PanelCommands commands;
    // Filled in as the features arrive:
    //  startScanDialog  - the scan dialog's thread for the page, with the skin file's path
    //  restoreRegistry  - the restore from a backup file
    //  addSchedule, listSchedule, deleteSchedule - the scheduled scans of the user's work item
    //  startLiveUpdate, openSupportPage - the shell
    return commands;
}
