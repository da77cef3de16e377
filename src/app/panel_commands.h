#pragma once
// What the pages' buttons do in the program: the scan dialog, the restore, the scheduler and the shell.
#include "skin/sub_main_skin.h"

// The program's page operations. An operation whose feature is not in the program leaves its button
// without effect.
PanelCommands MakePanelCommands();
