#pragma once
// The schedule page's list: one row per schedule of the work item, and deleting the schedule of a
// row. Rows are numbered from 1 and carry the scheduler's trigger index, which differs from the row
// position when the work item holds disabled triggers.
#include "base/message_box.h"

#include <windows.h>

#include <string>
#include <vector>

namespace scheduler {

struct ScheduleRow {
    std::string number;      // "1", "2", ...
    std::string description; // the trigger in words
    std::string lastRun;     // "Never" or "%H:%M:%S %d-%m-%y"; the work item's, so the same on every row
    WORD triggerIndex = 0;
};

// The rows of the work item; empty (and the scheduler's HRESULT) when there is no work item.
HRESULT ListScheduleRows(const std::string& taskName, std::vector<ScheduleRow>& rows);

// Deletes the schedule shown at a row position (0 = first row, as the list's selection mark).
// A position without a row is SCHED_E_TRIGGER_NOT_FOUND.
HRESULT DeleteScheduleRow(const std::string& taskName, int position);

// The page's delete button: asks "Are You Sure" (caption "Delete Scheduled Task", OK and Cancel)
// and deletes the row's schedule on OK. True when a schedule was deleted; Cancel changes nothing.
bool AskAndDeleteScheduleRow(base::MessageBoxes& boxes, HWND owner, const std::string& taskName,
                             int position);

} // namespace scheduler
