#include "scheduler/schedule_page.h"

#include "scheduler/task_operations.h"
#include "scheduler/trigger_text.h"

namespace scheduler {

HRESULT ListScheduleRows(const std::string& taskName, std::vector<ScheduleRow>& rows) {
    rows.clear();
    std::vector<ScheduleEntry> entries;
    std::time_t lastRun = 0;
    const HRESULT hr = ListSchedule(taskName, entries, lastRun);
    if (FAILED(hr)) {
        return hr;
    }
    const std::string lastRunText = FormatLastRun(lastRun);
    for (size_t i = 0; i < entries.size(); ++i) {
        rows.push_back({std::to_string(i + 1), entries[i].description, lastRunText, entries[i].triggerIndex});
    }
    return hr;
}

HRESULT DeleteScheduleRow(const std::string& taskName, int position) {
    std::vector<ScheduleRow> rows;
    const HRESULT hr = ListScheduleRows(taskName, rows);
    if (FAILED(hr)) {
        return hr;
    }
    if (position < 0 || static_cast<size_t>(position) >= rows.size()) {
        return SCHED_E_TRIGGER_NOT_FOUND;
    }
    return DeleteTrigger(taskName, rows[static_cast<size_t>(position)].triggerIndex);
}

bool AskAndDeleteScheduleRow(base::MessageBoxes& boxes, HWND owner, const std::string& taskName,
                             int position) {
    if (position < 0) {
        return false; // no row selected: nothing to ask about
    }
    if (boxes.Show(owner, "Are You Sure", "Delete Scheduled Task", MB_OKCANCEL | MB_ICONEXCLAMATION) !=
        IDOK) {
        return false;
    }
    return SUCCEEDED(DeleteScheduleRow(taskName, position));
}

} // namespace scheduler
