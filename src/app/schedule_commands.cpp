#include "app/schedule_commands.h"

#include "app/support_address.h"
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
    // The page quits afterwards whether or not the program could be started.
    commands.startLiveUpdate = [shell = options.shell] { shell->Open(kLiveUpdateProgram); };
    commands.openSupportPage = [shell = options.shell] { shell->Open(kSupportAddress); };
}
