#pragma once
// What the review of a scan's findings shows and remembers: one row per finding (in the engine's order),
// each with a tick, all ticked at first; rows leave the review when the user ignores them. The fix then
// removes exactly the ticked rows' findings. Built for tens of thousands of rows: a virtual list asks for
// each row's texts as it draws it, and ticking all costs one pass.
#include "engine/finding_id.h"
#include "engine/records.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class ReviewModel {
public:
    enum Column { kProblem, kEntry, kFileNotFound, kColumnCount };

    explicit ReviewModel(const RegErrorLogList& findings);

    std::size_t Rows() const { return m_rows.size(); }
    bool Ticked(std::size_t row) const { return row < m_rows.size() && m_ticked[m_rows[row]]; }
    void Toggle(std::size_t row);
    void TickAll(bool ticked);
    std::size_t TickedCount() const { return m_tickedCount; }
    // "12 of 26 entries selected"
    std::string SelectionLine() const;

    std::array<std::string, kColumnCount> Texts(std::size_t row) const;
    // The first row whose problem is that summary row's description (a double-click on it in the results);
    // 0 when none is.
    std::size_t FirstRowOf(const std::string& description) const;

    // Which findings the fix removes, by position in the engine's list.
    std::vector<bool> FixSelection() const;
    // Takes the ticked rows out of the review and returns what names their entries, for the ignore list.
    std::vector<engine::FindingName> TakeTickedForIgnore();

private:
    const RegErrorLogList& m_findings;
    std::vector<std::size_t> m_rows; // finding index of each shown row
    std::vector<bool> m_ticked;      // by finding index
    std::size_t m_tickedCount = 0;
};

// The summary row description a finding's category belongs to ("Invalid CLSID" for a ProgID too); the
// category itself when it is none of the known ones.
std::string ProblemOf(const std::string& category);
