#pragma once
// The About box: program icon, name and version line, one line about the program, OK. It opens centred
// over the main window.
#include "winui/dialog.h"

class CAboutDlg : public winui::Dialog {
public:
    CAboutDlg();

protected:
    bool OnInitDialog() override;
};
