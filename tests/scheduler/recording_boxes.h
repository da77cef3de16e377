#pragma once
// Message boxes that record what they were asked to show and answer with `answer` (IDOK unless set).
#include "winui/message_box.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordingBoxes final : public winui::MessageBoxes {
public:
    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };
    int Show(HWND, const std::string& text, const std::string& caption, UINT type) override {
        shown.push_back({text, caption, type});
        return answer;
    }
    std::vector<Box> shown;
    int answer = IDOK;
};

} // namespace testsupport
