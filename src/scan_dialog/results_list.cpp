#include "scan_dialog/results_list.h"

#include <cstdio>

namespace {

std::string Decimal(int value) {
    return std::to_string(value);
}

} // namespace

std::string FixedCellText(int removed, int refused, const std::string& refusal) {
    if (refused <= 0) {
        return Decimal(removed);
    }
    return Decimal(removed) + " (" + Decimal(refused) + " " + refusal + ")";
}

std::vector<std::vector<std::string>> ResultRows(const ScanErrorList& rows, const CShortcut& shortcuts,
                                                 ResultsForm form) {
    const bool fixed = form == ResultsForm::FixComplete;
    std::vector<std::vector<std::string>> result;
    int noLongerBroken = 0;
    for (const auto& row : rows) {
        noLongerBroken += row->m_nNoLongerBroken;
        std::vector<std::string> texts{row->m_strDescription, Decimal(row->m_nScanned),
                                       Decimal(row->m_nFound)};
        if (fixed) {
            texts.push_back(FixedCellText(row->m_nFixed, row->m_nRefused, RefusalText(row->m_lRefusal)));
        }
        result.push_back(std::move(texts));
    }
    std::vector<std::string> last{kMissingShortcutsRow, Decimal(shortcuts.m_nLinksScanned),
                                  Decimal(shortcuts.m_nLinksFound)};
    if (fixed) {
        last.push_back(FixedCellText(shortcuts.m_nLinksFixed, shortcuts.m_nLinksRefused, "Not Moved"));
    }
    result.push_back(std::move(last));
    // Registry entries and shortcuts the fix judged again and left alone because they work now.
    noLongerBroken += shortcuts.m_nLinksNoLongerBroken;
    if (fixed && noLongerBroken > 0) {
        result.push_back({kNoLongerBrokenRow, "", "", Decimal(noLongerBroken)});
    }
    return result;
}

ResultTotals SumResults(const ScanErrorList& rows, const CShortcut& shortcuts) {
    ResultTotals totals;
    for (const auto& row : rows) {
        totals.scanned += row->m_nScanned;
        totals.found += row->m_nFound;
        totals.fixed += row->m_nFixed;
    }
    totals.scanned += shortcuts.m_nLinksScanned;
    totals.found += shortcuts.m_nLinksFound;
    totals.fixed += shortcuts.m_nLinksFixed;
    return totals;
}

std::string ScanCompleteTitle(int errorsFound) {
    char head[64];
    std::snprintf(head, sizeof head, "Orvalin has found %d ", errorsFound);
    return std::string(head) + "potentially dangerous errors\nclick the button below to repair your computer";
}

void FillResultsList(const winui::ReportView& list, const std::vector<std::vector<std::string>>& rows) {
    if (!list.IsWindow()) {
        return;
    }
    int index = 0;
    for (const auto& texts : rows) {
        if (texts.empty()) {
            continue;
        }
        const int at = list.InsertItem(index, texts.front());
        if (at < 0) {
            break;
        }
        // A column the skin did not give the list is simply not shown.
        for (size_t column = 1; column < texts.size(); ++column) {
            list.SetItemText(at, static_cast<int>(column), texts[column]);
        }
        ++index;
    }
    list.Show(SW_HIDE);
    list.Show(SW_SHOW);
}
