#pragma once
// Selecting rows of a report list as a click does: the row's selected state, not only the selection mark.
#include "winui/report_view.h"

#include <commctrl.h>

namespace testsupport {

// Selects `row` alone; -1 clears the selection (the focus box and the selection mark stay where they were).
inline void SelectOnly(const winui::ReportView& list, int row) {
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED;
    list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row < 0) {
        return;
    }
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    list.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    list.Send(LVM_SETSELECTIONMARK, 0, row);
}

} // namespace testsupport
