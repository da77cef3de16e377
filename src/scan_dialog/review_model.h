#pragma once
// What the review of a scan's findings shows and remembers: one row per finding (in the engine's order),
// each with a tick, all ticked at first; rows leave the review when the user ignores them. The fix then
// removes exactly the ticked rows' findings. Built for tens of thousands of rows: a virtual list asks for
// each row's texts as it draws it, and ticking all costs one pass.
#include "engine/finding_id.h"
#include "engine/ignore_list.h"
#include "engine/records.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// What a list of rows with ticks shows, whichever rows they are.
class TickedRows {
public:
    static constexpr std::size_t kColumnCount = 3;
    using RowTexts = std::array<std::string, kColumnCount>;

    virtual ~TickedRows() = default;
    virtual std::size_t Rows() const = 0;
    virtual bool Ticked(std::size_t row) const = 0;
    virtual void Toggle(std::size_t row) = 0;
    virtual void TickAll(bool ticked) = 0;
    virtual std::size_t TickedCount() const = 0;
    virtual RowTexts Texts(std::size_t row) const = 0;
    // "12 of 26 entries selected"
    std::string SelectionLine() const;
};

class ReviewModel : public TickedRows {
public:
    enum Column { kProblem, kEntry, kFileNotFound };

    explicit ReviewModel(const RegErrorLogList& findings);

    std::size_t Rows() const override { return m_rows.size(); }
    bool Ticked(std::size_t row) const override { return row < m_rows.size() && m_ticked[m_rows[row]]; }
    void Toggle(std::size_t row) override;
    void TickAll(bool ticked) override;
    std::size_t TickedCount() const override { return m_tickedCount; }

    RowTexts Texts(std::size_t row) const override;
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

// The ignore list as it holds its entries (category, key path, value name), sorted, none ticked at first:
// taking an entry back is a choice made one entry at a time.
class IgnoredModel : public TickedRows {
public:
    explicit IgnoredModel(const engine::IgnoreList& list)
        : m_entries(list.Sorted()), m_ticked(m_entries.size()) {}

    std::size_t Rows() const override { return m_entries.size(); }
    bool Ticked(std::size_t row) const override { return row < m_ticked.size() && m_ticked[row]; }
    void Toggle(std::size_t row) override;
    void TickAll(bool ticked) override;
    std::size_t TickedCount() const override { return m_tickedCount; }
    RowTexts Texts(std::size_t row) const override;
    std::vector<std::string> TickedIds() const;

private:
    std::vector<std::pair<std::string, engine::FindingName>> m_entries;
    std::vector<bool> m_ticked;
    std::size_t m_tickedCount = 0;
};

// The summary row description a finding's category belongs to ("Invalid CLSID" for a ProgID too); the
// category itself when it is none of the known ones.
std::string ProblemOf(const std::string& category);
