#include "base/message_box.h"

#include <cstdio>

namespace base {
namespace {

class SystemBoxes final : public MessageBoxes {
public:
    int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    }
};

class ConsoleBoxes final : public MessageBoxes {
public:
    int Show(HWND, const std::string& text, const std::string& caption, UINT type) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return IDOK;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
        }
    }
};

} // namespace

MessageBoxes& SystemMessageBoxes() {
    static SystemBoxes boxes;
    return boxes;
}

MessageBoxes& ConsoleMessageBoxes() {
    static ConsoleBoxes boxes;
    return boxes;
}

} // namespace base
