#include "app/schedule_commands.h"

#include "app/support_address.h"
#include "base/program_folder.h"
#include "scheduler/add_schedule_dlg.h"
#include "scheduler/schedule_page.h"
#include "scheduler/scheduled_task.h"

void SetScheduleCommands(PanelCommands& commands, const ScheduleCommandOptions& options) {
    const auto taskName = [name = options.taskName] {
        return name.empty() ? scheduler::GetScheduleTaskName() : name;
    };
    commands.addSchedule = [boxes = options.boxes, name = options.taskName](HWND panel) {
        scheduler::CAddScheduleDlg dialog(*boxes, name);
        dialog.RunModal(panel);
    };
    commands.listSchedule = [taskName] {
        std::vector<scheduler::ScheduleRow> rows;
        scheduler::ListScheduleRows(taskName(), rows); // no work item: no rows
        std::vector<ScheduleListRow> list;
        list.reserve(rows.size());
        for (const scheduler::ScheduleRow& row : rows) {
            list.push_back({row.number, row.description, row.lastRun});
        }
        return list;
    };
    commands.deleteSchedule = [taskName](int position, const std::string& description) {
        return SUCCEEDED(scheduler::DeleteScheduleRow(taskName(), position, description));
    };
    // By full path beside the program: a program of that name in the current folder never runs.
    commands.startLiveUpdate = [shell = options.shell, folder = options.programFolder] {
        const std::string program = (folder ? *folder : base::ProgramFolder()) + kLiveUpdateProgram;
        return shell->Open(program) ? std::string()
                                    : "The live update program could not be started:\n" + program;
    };
    // The address stays readable in the message, and Ctrl+C copies a message box's text.
    commands.openSupportPage = [shell = options.shell] {
        return shell->Open(kSupportAddress)
                   ? std::string()
                   : std::string("The support page could not be opened. Its address is:\n") + kSupportAddress;
    };
}
