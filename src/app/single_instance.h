#pragma once
// One copy of the window per user: a named mutex in the session's namespace ("Local\"), named after the
// user, so another account elevated in the same session keeps a copy of its own. A second start hands its
// request (show, or scan) to the running window and ends.
#include <windows.h>

#include <string>

#include "base/unique_handle.h"

// The name of the user's mutex, and of the window property that marks the user's running main window.
std::string InstanceName(const std::string& user);

class SingleInstance {
public:
    explicit SingleInstance(const std::string& name);
    // True when no other process of this user held the mutex at construction.
    bool First() const { return m_first; }

private:
    base::KernelHandle m_mutex;
    bool m_first = true;
};

// What the running window is asked for: WPARAM 0 to come forward, 1 to come forward and scan.
UINT HandOverMessage();

// Marks `window` as the running main window of `name` (a window property, readable from other processes).
void MarkInstanceWindow(HWND window, const std::string& name);

// The visible or hidden top-level window marked for `name`; null when there is none.
HWND FindInstanceWindow(const std::string& name);

// Asks the running window of `name` to come forward (and to scan); false when there is no such window.
bool HandOver(const std::string& name, bool scan);
