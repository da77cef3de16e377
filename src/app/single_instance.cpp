#include "app/single_instance.h"

std::string InstanceName(const std::string& user) {
    std::string name = "Orvalin.MainWindow." + user;
    for (char& c : name) {
        if (c == '\\') {
            c = '.'; // a backslash would name a namespace
        }
    }
    return name;
}

SingleInstance::SingleInstance(const std::string& name)
    : m_mutex(CreateMutexA(nullptr, FALSE, ("Local\\" + name).c_str())) {
    // Without a mutex nothing is certain: the program runs rather than refuse to start.
    m_first = !m_mutex || GetLastError() != ERROR_ALREADY_EXISTS;
}

UINT HandOverMessage() {
    static const UINT message = RegisterWindowMessageA("Orvalin.HandOver");
    return message;
}

void MarkInstanceWindow(HWND window, const std::string& name) {
    SetPropA(window, name.c_str(), reinterpret_cast<HANDLE>(1));
}

HWND FindInstanceWindow(const std::string& name) {
    struct Search {
        const std::string* name;
        HWND found;
    } search{&name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (GetPropA(window, s.name->c_str())) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HandOver(const std::string& name, bool scan) {
    const HWND window = FindInstanceWindow(name);
    if (!window) {
        return false;
    }
    // The running copy may take the foreground only when the starting one, which has it, lets it.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    return PostMessageA(window, HandOverMessage(), scan ? 1 : 0, 0) != FALSE;
}
