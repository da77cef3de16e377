#pragma once
// Opening a file or web address with the shell ("open" verb), behind a seam so that tests see what
// would have been started instead of starting it.
#include <string>

class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Opens `file` (a program, a document or a web address) with no owner window, no parameters and
    // no directory, shown normally. True when the shell started it.
    virtual bool Open(const std::string& file) = 0;
};

// ShellExecuteA. Stateless; one instance serves the process.
ShellOpener& SystemShell();
