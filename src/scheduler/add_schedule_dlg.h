#pragma once
// The Add Schedule dialog: a start date, a start time (hours and minutes only) and how often, for a
// scheduled scan. OK adds the schedule to the work item, tells the user the outcome in a message box
// and closes; Cancel and Esc close without doing anything.
#include "winui/dialog.h"
#include "base/message_box.h"

#include <windows.h>

#include <string>

namespace scheduler {

class CAddScheduleDlg : public winui::Dialog {
public:
    // `boxes` shows the outcome and must outlive the dialog. An empty `taskName` means the current
    // user's work item (GetScheduleTaskName, taken on OK); tests pass a work item of their own.
    explicit CAddScheduleDlg(base::MessageBoxes& boxes = base::SystemMessageBoxes(),
                             std::string taskName = {});

    const std::string& ProgramPath() const { return m_strProgramPath; }
    const std::string& StartingDir() const { return m_strStartingDir; }
    const std::string& TaskName() const { return m_strTaskName; }
    const std::string& Account() const { return m_strAccount; }
    // The selected frequency button, 0 (Once) to 3 (Monthly); -1 before the dialog opened.
    int Frequency() const { return m_nFrequency; }
    const SYSTEMTIME& Date() const { return m_timeDate; }
    const SYSTEMTIME& Time() const { return m_timeTime; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    // The pickers and the radio group to the members and back.
    void ReadControls();
    void WriteControls() const;

    base::MessageBoxes& m_boxes;
    std::string m_strWorkItem; // the name asked for at construction; empty for the user's own
    std::string m_strProgramPath;
    std::string m_strStartingDir;
    std::string m_strTaskName;
    std::string m_strAccount;
    int m_nFrequency = -1;
    SYSTEMTIME m_timeDate{};
    SYSTEMTIME m_timeTime{};
};

} // namespace scheduler
