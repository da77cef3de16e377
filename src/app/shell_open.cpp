#include "app/shell_open.h"

#include <windows.h>

#include <shellapi.h>

namespace {

class SystemShellOpener final : public ShellOpener {
public:
    bool Open(const std::string& file) override {
        const HINSTANCE result =
            ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        // Values above 32 mean success (the result is a code dressed as a module handle).
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

} // namespace

ShellOpener& SystemShell() {
    static SystemShellOpener shell;
    return shell;
}
