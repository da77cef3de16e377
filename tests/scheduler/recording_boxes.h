#pragma once
// Message boxes that record what they were asked to show and answer IDOK.
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
        return IDOK;
    }
    std::vector<Box> shown;
};

} // namespace testsupport
