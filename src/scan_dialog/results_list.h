#pragma once
// The results list of the scan-complete and fix-complete screens: one row per summary row, in the order
// the engine appended them, and a last row for the missing shortcuts; and the totals shown beside it.
#include <string>
#include <vector>

#include "engine/records.h"
#include "shortcuts/shortcut.h"
#include "winui/report_view.h"

// The two forms of the list: three columns after a scan, four (with the fixed counts) after a fix.
enum class ResultsForm { ScanComplete, FixComplete };

inline constexpr char kMissingShortcutsRow[] = "Missing ShortCuts";
// After a fix, when any finding or shortcut was judged again and left alone; its count stands in the fixed
// column.
inline constexpr char kNoLongerBrokenRow[] = "No longer broken";
// When the ignore list kept entries out of the scan; its count stands in the found column.
inline constexpr char kIgnoredRow[] = "Ignored (your choice)";

// The texts of every row, column by column.
std::vector<std::vector<std::string>> ResultRows(const ScanErrorList& rows, const CShortcut& shortcuts,
                                                 ResultsForm form);

// The fixed column of one row: the removed count, and when anything was refused, how many and why beside
// it ("3 (4 Access Denied)").
std::string FixedCellText(int removed, int refused, const std::string& refusal);

// Sums over the summary rows plus the shortcut counts; `fixed` adds the removed counts.
struct ResultTotals {
    int scanned = 0;
    int found = 0;
    int fixed = 0;
};
ResultTotals SumResults(const ScanErrorList& rows, const CShortcut& shortcuts);

// "Orvalin has found N potentially dangerous errors" with a line break before the invitation to repair.
std::string ScanCompleteTitle(int errorsFound);

// Appends the rows to the list (which has no window: nothing happens), then hides and shows it so that
// the whole list repaints on the new screen.
void FillResultsList(const winui::ReportView& list, const std::vector<std::vector<std::string>>& rows);
