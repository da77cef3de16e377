#pragma once
// Message boxes that record what they were asked to show and answer with `answer` (IDOK unless set).
// For code that shows its boxes on the test's own thread.
#include "base/message_box.h"

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
        shown.push_back({text, caption, type});
        return answer;
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
};

} // namespace testsupport
