#pragma once
// Message boxes that record what they were asked to show and answer with `answer` (IDOK unless set).
// Any thread may show them; a test reads `shown` directly once that thread is done, or Shown() meanwhile.
#include "base/message_box.h"

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

class RecordingBoxes final : public base::MessageBoxes {
public:
    using Box = ShownBox;

    int Show(HWND, const std::string& text, const std::string& caption, UINT type) override {
        const std::lock_guard lock(m_lock);
        shown.push_back({text, caption, type});
        return answer;
    }
    std::vector<Box> Shown() const {
        const std::lock_guard lock(m_lock);
        return shown;
    }
    // The texts alone, in the order shown.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& box : shown) {
            texts.push_back(box.text);
        }
        return texts;
    }

    std::vector<Box> shown;
    int answer = IDOK;

private:
    mutable std::mutex m_lock;
};

} // namespace testsupport
