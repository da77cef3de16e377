#pragma once
// The printed result of a scan (and of a fix): the summary rows and the findings, as a text table or
// as one JSON document. The scan and fix commands share it.
#include "engine/records.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The missing-shortcut part of a result.
struct ShortcutReport {
    int scanned = 0;
    int found = 0;
    int fixed = 0;
    std::vector<std::string> missing; // full paths of the shortcut files whose target is gone
    int refused = 0;                  // found in place by the fix and not moved
    int noLongerBroken = 0;           // a fix: listed shortcuts left in place because they work again
};

struct ScanReport {
    ScanReport(const ScanErrorList& rowList, const RegErrorLogList& findingList)
        : rows(rowList), findings(findingList) {}

    const ScanErrorList& rows;
    const RegErrorLogList& findings;
    const ShortcutReport* shortcuts = nullptr; // null: the result has no shortcut part
    std::optional<std::string> backup;         // a fix: the backup file it wrote
    bool showFixed = false;                    // text form: add the fixed column
    int ignored = 0;                           // entries passed over because the ignore list holds them
};

// Rows as a table (description, scanned, found[, fixed]), then every finding.
std::string FormatReportText(const ScanReport& report);

// {"rows":[...],"findings":[...]} plus "shortcuts" and "backup" when present; UTF-8, one row or finding
// per line.
std::string FormatReportJson(const ScanReport& report);

// Writes the whole text to stdout and flushes it; false when the output could not be written.
bool WriteStdout(const std::string& text);

} // namespace cli
