// orvalin-seed: fills the registry of the prefix it runs in with the demo mix, or removes it.
//   orvalin-seed [--scale N] [--extra-classes M]   write N units (default 1) and M more working classes
//   orvalin-seed ... --shortcuts                   also write the demo shortcut files
//   orvalin-seed --remove      remove every seeded key, value, file and shortcut
#include "demo_set.h"
#include "demo_shortcuts.h"
#include "demo_writer.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kUsage[] =
    "Usage: orvalin-seed [--scale N] [--extra-classes M] [--shortcuts] | --remove\n"
    "Writes a demo mix of COM classes, help files, fonts, shared tools and shared DLLs\n"
    "(some with their files, some without) into this registry, N times, and M more working\n"
    "COM classes; --shortcuts adds working and broken shortcut files on the desktop and in the\n"
    "start menu; --remove undoes it all.\n";

int Usage(const char* message) {
    std::fprintf(stderr, "orvalin-seed: %s\n%s", message, kUsage);
    return 2;
}

int Seed(int units, int extraClasses, bool shortcuts) {
    const seed::DemoLayout layout = seed::DefaultLayout();
    seed::DemoWriter writer;
    seed::WriteCommonFiles(writer, layout);
    for (int unit = 0; unit < units; ++unit) {
        seed::WriteUnit(writer, layout, unit);
    }
    for (int i = 0; i < extraClasses; ++i) {
        seed::WriteExtraClass(writer, layout, i);
    }
    writer.Dword(seed::kDemoKey, "Units", static_cast<DWORD>(units));
    writer.Dword(seed::kDemoKey, "ExtraClasses", static_cast<DWORD>(extraClasses));
    const seed::UnitCounts c = seed::CountsPerUnit();
    std::printf(
        "seeded %d unit(s) into %s and the registry: %d COM classes, %d help files, %d fonts, "
        "%d shared tools, %d shared DLLs, %d entries of the further families; a scan should report %d "
        "findings from them\n",
        units, layout.root.c_str(), c.classes * units + extraClasses, c.helpValues * units, c.fonts * units,
        c.tools * units, c.sharedDlls * units, c.furtherEntries * units, c.findings * units);
    int failures = writer.Failures();
    if (shortcuts) {
        const seed::ShortcutCounts links = seed::WriteDemoShortcuts(layout);
        std::printf("wrote %d demo shortcuts; a scan should list %d of them\n", links.created, links.broken);
        failures += links.failures;
    }
    if (failures > 0) {
        std::fprintf(stderr, "orvalin-seed: %d write(s) failed\n", failures);
        return 1;
    }
    return 0;
}

bool ParseCount(const char* text, long lowest, int* result) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < lowest || n > 100000) {
        return false;
    }
    *result = static_cast<int>(n);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int units = 1;
    int extraClasses = 0;
    bool remove = false;
    bool shortcuts = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--remove") {
            remove = true;
        } else if (arg == "--shortcuts") {
            shortcuts = true;
        } else if (arg == "--scale" && i + 1 < argc) {
            if (!ParseCount(argv[++i], 1, &units)) {
                return Usage("--scale takes a whole number from 1 to 100000");
            }
        } else if (arg == "--extra-classes" && i + 1 < argc) {
            if (!ParseCount(argv[++i], 0, &extraClasses)) {
                return Usage("--extra-classes takes a whole number from 0 to 100000");
            }
        } else {
            return Usage(("unknown argument '" + arg + "'").c_str());
        }
    }
    if (remove) {
        const int failures = seed::RemoveDemoShortcuts() + seed::RemoveDemoData(seed::DefaultLayout());
        if (failures > 0) {
            std::fprintf(stderr, "orvalin-seed: %d item(s) could not be removed\n", failures);
            return 1;
        }
        std::printf("removed the demo data\n");
        return 0;
    }
    return Seed(units, extraClasses, shortcuts);
}
