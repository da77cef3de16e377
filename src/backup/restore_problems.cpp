#include "backup/restore_problems.h"

#include <utility>

RestoreProblems::RestoreProblems(base::MessageBoxes& boxes, std::string caption, std::size_t boxLimit)
    : m_boxes(boxes), m_caption(std::move(caption)), m_boxLimit(boxLimit) {}

void RestoreProblems::Report(const std::string& text) {
    ++m_count;
    if (static_cast<std::size_t>(m_count) <= m_boxLimit) {
        m_boxes.Show(GetActiveWindow(), text, m_caption, MB_OK);
    } else if (m_unshown.size() < kNamedLimit) {
        m_unshown.push_back(text);
    } else {
        ++m_unnamed;
    }
}

void RestoreProblems::Finish() {
    if (m_unshown.empty()) {
        return;
    }
    const int more = static_cast<int>(m_unshown.size()) + m_unnamed;
    std::string text = std::to_string(more) + " more failure" + (more == 1 ? "" : "s") + ":";
    for (const std::string& line : m_unshown) {
        text += "\n" + line;
    }
    if (m_unnamed > 0) {
        text += "\nand " + std::to_string(m_unnamed) + " more";
    }
    m_boxes.Show(GetActiveWindow(), text, m_caption, MB_OK);
}
