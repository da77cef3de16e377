#pragma once
// The main page's scan and restore buttons as the program runs them: BUTTON_SCAN opens a scan dialog on a
// thread of its own, BUTTON_RESTORE restores a backup chosen in the open-file dialog.
#include "scan_dialog/summary.h"
#include "skin/sub_main_skin.h"

// Fills the startScanDialog and restoreRegistry operations of the pages.
void SetScanDialogCommands(PanelCommands& commands, const ScanDialogOptions& options = {});
