#pragma once
// The About box: program icon, name and version line, one line about the program, OK.
#include "winui/dialog.h"

class CAboutDlg : public winui::Dialog {
public:
    CAboutDlg();
};
