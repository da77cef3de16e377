#pragma once
// Demo shortcut files: working and broken ones on the desktop, in the start menu and deeper, and one in
// the drive's root folder (which the shortcut scan does not examine). Their names start with
// "OrvalinDemo" so that --remove finds them again.
#include "demo_set.h"

namespace seed {

// What the shortcut part holds.
struct ShortcutCounts {
    int created = 0;
    int broken = 0; // of them, found by a scan (the one in the root folder is not counted)
    int failures = 0;
};

// Writes the demo shortcuts; the targets of the working ones are files below layout.root.
ShortcutCounts WriteDemoShortcuts(const DemoLayout& layout);
// Removes them; returns the number of failures.
int RemoveDemoShortcuts();

} // namespace seed
