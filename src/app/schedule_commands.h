#pragma once
// The schedule page's buttons and the live-update and support buttons as the program runs them: the
// Add Schedule dialog, the list and delete of the user's work item, and the shell.
#include <string>

#include "app/shell_open.h"
#include "base/message_box.h"
#include "skin/sub_main_skin.h"

struct ScheduleCommandOptions {
    // The Add Schedule dialog's outcome messages.
    base::MessageBoxes* boxes = &base::SystemMessageBoxes();
    // The work item; empty means the current user's, named afresh for every operation.
    std::string taskName;
    ShellOpener* shell = &SystemShell();
    // The folder the live-update program is started from; null for the program's own folder.
    const std::string* programFolder = nullptr;
};

// Fills addSchedule, listSchedule, deleteSchedule, startLiveUpdate and openSupportPage. The options'
// objects must outlive the commands.
void SetScheduleCommands(PanelCommands& commands, const ScheduleCommandOptions& options = {});
