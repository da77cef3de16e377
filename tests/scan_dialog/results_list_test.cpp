// The rows and totals of the results list, from summary rows and shortcut counts.
#include <gtest/gtest.h>

#include "scan_dialog/results_list.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

ScanErrorList MakeRows(std::initializer_list<std::tuple<const char*, int, int, int>> rows) {
    ScanErrorList list;
    for (const auto& [description, scanned, found, fixed] : rows) {
        auto row = std::make_unique<CScanError>();
        row->m_strDescription = description;
        row->m_nScanned = scanned;
        row->m_nFound = found;
        row->m_nFixed = fixed;
        list.push_back(std::move(row));
    }
    return list;
}

TEST(ResultsList, EmptySummaryStillGivesTheShortcutRow) {
    CShortcut shortcuts;
    shortcuts.m_nLinksScanned = 7;
    shortcuts.m_nLinksFound = 2;
    EXPECT_EQ(ResultRows({}, shortcuts, ResultsForm::ScanComplete), (Rows{{"Missing ShortCuts", "7", "2"}}));
    EXPECT_EQ(ResultRows({}, shortcuts, ResultsForm::FixComplete),
              (Rows{{"Missing ShortCuts", "7", "2", "0"}}));
}

TEST(ResultsList, RowsKeepTheEngineOrderAndDeniedFixesShowAccessDenied) {
    const ScanErrorList rows =
        MakeRows({{"Invalid CLSID", 40, 3, 3}, {"Corrupt Help Files", 5, 1, 0}, {"Corrupt Fonts", 9, 0, 0}});
    rows[1]->m_nRefused = 1;
    rows[1]->m_lRefusal = ERROR_ACCESS_DENIED;
    CShortcut shortcuts;
    shortcuts.m_nLinksScanned = 11;
    shortcuts.m_nLinksFound = 2;
    shortcuts.m_nLinksFixed = 2;
    EXPECT_EQ(ResultRows(rows, shortcuts, ResultsForm::ScanComplete),
              (Rows{{"Invalid CLSID", "40", "3"},
                    {"Corrupt Help Files", "5", "1"},
                    {"Corrupt Fonts", "9", "0"},
                    {"Missing ShortCuts", "11", "2"}}));
    EXPECT_EQ(ResultRows(rows, shortcuts, ResultsForm::FixComplete),
              (Rows{{"Invalid CLSID", "40", "3", "3"},
                    {"Corrupt Help Files", "5", "1", "0 (1 Access Denied)"},
                    {"Corrupt Fonts", "9", "0", "0"},
                    {"Missing ShortCuts", "11", "2", "2"}}));

    // The totals add what was removed: 3 + 0 + 0 + 2 shortcuts.
    const ResultTotals totals = SumResults(rows, shortcuts);
    EXPECT_EQ(totals.scanned, 65);
    EXPECT_EQ(totals.found, 6);
    EXPECT_EQ(totals.fixed, 5);
}

// Registry entries and shortcuts left alone by the fix share one row, shown only after a fix.
TEST(ResultsList, NoLongerBrokenRowCountsRegistryEntriesAndShortcuts) {
    struct Case {
        int entries;
        int links;
        const char* shown; // nullptr: no row
    };
    for (const Case& c : {Case{0, 0, nullptr}, Case{2, 0, "2"}, Case{0, 3, "3"}, Case{2, 3, "5"}}) {
        ScanErrorList rows = MakeRows({{"Invalid CLSID", 4, 2, 0}});
        rows[0]->m_nNoLongerBroken = c.entries;
        CShortcut shortcuts;
        shortcuts.m_nLinksNoLongerBroken = c.links;
        const Rows fixed = ResultRows(rows, shortcuts, ResultsForm::FixComplete);
        SCOPED_TRACE(std::to_string(c.entries) + " entries, " + std::to_string(c.links) + " links");
        EXPECT_EQ(fixed.back(), c.shown == nullptr
                                    ? (std::vector<std::string>{"Missing ShortCuts", "0", "0", "0"})
                                    : (std::vector<std::string>{"No longer broken", "", "", c.shown}));
        EXPECT_EQ(ResultRows(rows, shortcuts, ResultsForm::ScanComplete).size(), 2u);
    }
}

TEST(ResultsList, TitleCarriesTheErrorTotalAndALineBreak) {
    EXPECT_EQ(
        ScanCompleteTitle(0),
        "Orvalin has found 0 potentially dangerous errors\nclick the button below to repair your computer");
    EXPECT_EQ(ScanCompleteTitle(-3).rfind("Orvalin has found -3 potentially", 0), 0u);
}

} // namespace
