#include "scan_dialog/review_model.h"

#include <cstring>

namespace {

struct CategoryProblem {
    const char* category;
    const char* problem;
};

constexpr CategoryProblem kProblems[] = {
    {kCategoryCLSID, kDescriptionCLSID},
    {kCategoryProgID, kDescriptionCLSID},
    {kCategoryHelp, kDescriptionHelp},
    {kCategoryFont, kDescriptionFonts},
    {kCategorySharedTools, kDescriptionSharedTools},
    {kCategorySharedFile, kDescriptionSharedFiles},
};

} // namespace

std::string ProblemOf(const std::string& category) {
    for (const CategoryProblem& entry : kProblems) {
        if (_stricmp(entry.category, category.c_str()) == 0) {
            return entry.problem;
        }
    }
    return category;
}

ReviewModel::ReviewModel(const RegErrorLogList& findings)
    : m_findings(findings), m_ticked(findings.size(), true), m_tickedCount(findings.size()) {
    m_rows.reserve(findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        m_rows.push_back(i);
    }
}

void ReviewModel::Toggle(std::size_t row) {
    if (row >= m_rows.size()) {
        return;
    }
    const bool ticked = m_ticked[m_rows[row]];
    ticked ? --m_tickedCount : ++m_tickedCount;
    m_ticked[m_rows[row]] = !ticked;
}

void ReviewModel::TickAll(bool ticked) {
    for (const std::size_t index : m_rows) {
        m_ticked[index] = ticked;
    }
    m_tickedCount = ticked ? m_rows.size() : 0;
}

std::string TickedRows::SelectionLine() const {
    return std::to_string(TickedCount()) + " of " + std::to_string(Rows()) + " entries selected";
}

TickedRows::RowTexts ReviewModel::Texts(std::size_t row) const {
    if (row >= m_rows.size()) {
        return {};
    }
    const CRegErrorLog& finding = *m_findings[m_rows[row]];
    std::string entry = finding.GetKeyPath();
    if (finding.GetKind() == kKindValue && finding.GetValue() != nullptr) {
        entry += "  [" + finding.GetValue()->m_strName + "]";
    }
    return {ProblemOf(finding.GetCategory()), entry, finding.GetMissingFile()};
}

std::size_t ReviewModel::FirstRowOf(const std::string& description) const {
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (ProblemOf(m_findings[m_rows[row]]->GetCategory()) == description) {
            return row;
        }
    }
    return 0;
}

std::vector<bool> ReviewModel::FixSelection() const {
    std::vector<bool> selection(m_findings.size(), false);
    for (const std::size_t index : m_rows) {
        selection[index] = m_ticked[index];
    }
    return selection;
}

std::vector<engine::FindingName> ReviewModel::TakeTickedForIgnore() {
    std::vector<engine::FindingName> names;
    std::vector<std::size_t> kept;
    for (const std::size_t index : m_rows) {
        if (m_ticked[index]) {
            names.push_back(engine::NameOf(*m_findings[index]));
            m_ticked[index] = false;
        } else {
            kept.push_back(index);
        }
    }
    m_rows = std::move(kept);
    m_tickedCount = 0;
    return names;
}

void IgnoredModel::Toggle(std::size_t row) {
    if (row < m_ticked.size()) {
        m_ticked[row] ? --m_tickedCount : ++m_tickedCount;
        m_ticked[row] = !m_ticked[row];
    }
}

void IgnoredModel::TickAll(bool ticked) {
    m_ticked.assign(m_entries.size(), ticked);
    m_tickedCount = ticked ? m_entries.size() : 0;
}

TickedRows::RowTexts IgnoredModel::Texts(std::size_t row) const {
    if (row >= m_entries.size()) {
        return {};
    }
    const engine::FindingName& name = m_entries[row].second;
    return {name.category, name.keyPath, name.valueName};
}

std::vector<std::string> IgnoredModel::TickedIds() const {
    std::vector<std::string> ids;
    for (std::size_t row = 0; row < m_entries.size(); ++row) {
        if (m_ticked[row]) {
            ids.push_back(m_entries[row].first);
        }
    }
    return ids;
}
