#pragma once
// The failures of one restore as the user hears of them: each one in a box as it happens, up to a limit,
// then the rest counted and named together in one box at the end, so that a restore refused thousands of
// times never asks for thousands of clicks.
#include "base/message_box.h"

#include <cstddef>
#include <string>
#include <vector>

class RestoreProblems {
public:
    static constexpr std::size_t kBoxLimit = 20;
    // The most failures the closing box names one by one; the rest of them are only counted.
    static constexpr std::size_t kNamedLimit = 40;

    RestoreProblems(base::MessageBoxes& boxes, std::string caption, std::size_t boxLimit = kBoxLimit);

    // One failure, e.g. "couldn't set value Name".
    void Report(const std::string& text);
    // The closing box for the failures past the limit; nothing when there were none.
    void Finish();

    int Count() const { return m_count; }

private:
    base::MessageBoxes& m_boxes;
    std::string m_caption;
    std::size_t m_boxLimit;
    int m_count = 0;
    std::vector<std::string> m_unshown;
    int m_unnamed = 0;
};
