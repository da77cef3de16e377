#pragma once
// Message boxes behind a seam: the program shows real ones, the console tool prints them on stderr,
// and tests read and answer them without a window ever waiting for a click.
#include <windows.h>

#include <string>

namespace base {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Same contract as MessageBoxA: returns the pressed button's id (IDOK, IDYES, ...).
    virtual int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// Real MessageBoxA. Stateless; one instance serves the process.
MessageBoxes& SystemMessageBoxes();

// Prints "caption: text" on stderr and answers with the box's default button (the first one).
MessageBoxes& ConsoleMessageBoxes();

} // namespace base
