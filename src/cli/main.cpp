// orvalin-cli: drives the scan engine without the window.
#include "base/elevation.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/rights_notes.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char kUsage[] =
    "Usage: orvalin-cli COMMAND [OPTIONS]\n"
    "\n"
    "Finds registry entries and shortcuts whose file is gone, backs them up and removes them.\n"
    "\n"
    "Commands:\n"
    "  scan [--json] [SCAN OPTIONS]     scan the registry and shortcuts; changes nothing\n"
    "  fix [--json] [--backup FILE] [SCAN OPTIONS]\n"
    "                                   scan, back up every finding, then remove the findings\n"
    "      --only ID...                 remove only the findings of these ids (shortcuts are left out)\n"
    "      --exclude ID...              leave the findings of these ids in place\n"
    "  restore FILE [--overwrite]       write a backup file back into the registry; values changed\n"
    "                                   since the backup are kept unless --overwrite is given\n"
    "  export FILE [OUT.reg]            write a backup file as a registry editor's .reg file\n"
    "  ignore list                      list the entries no scan shows or fix removes\n"
    "  ignore add ID...                 add the findings of these ids (as scan shows them)\n"
    "  ignore remove ID...              take these ids off the ignore list\n"
    "  schedule list                    list the scheduled scans\n"
    "  schedule add YYYY-MM-DD HH:MM once|daily|weekly|monthly\n"
    "  schedule delete N                delete scheduled scan number N (as listed)\n"
    "\n"
    "Scan options:\n"
    "  --no-shortcuts   leave shortcut files out (registry only)\n"
    "  --drives LETTERS walk only these drives for shortcuts (only fixed drives are walked)\n"
    "  --families LIST  only these families, comma-separated, named as in --json: clsid, helpFiles,\n"
    "                   sharedTools, sharedFiles, fonts, appPaths, startup, software, typeLibs, sounds,\n"
    "                   muiCache, installerFolders, shortcuts\n"
    "\n"
    "Options:\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "\n"
    "Exit codes: 0 success, 1 failure, 2 usage error.\n";

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return cli::kExitUsage;
    }
    const std::string command = argv[1];
    const cli::Args args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return cli::kExitOk;
    }
    if (command == "--version") {
        std::printf("orvalin-cli %s\n", ORVALIN_VERSION);
        return cli::kExitOk;
    }
    if (command == "scan" || command == "fix") {
        // Before the scan: whose HKEY_CURRENT_USER it will read.
        const std::string note = cli::OtherAccountNote(base::ProcessAccount(), base::SessionAccount());
        if (!note.empty()) {
            cli::PrintError(note);
        }
    }
    if (command == "scan") {
        return cli::ScanCommand(args);
    }
    if (command == "fix") {
        return cli::FixCommand(args);
    }
    if (command == "restore") {
        return cli::RestoreCommand(args);
    }
    if (command == "export") {
        return cli::ExportCommand(args);
    }
    if (command == "ignore") {
        return cli::IgnoreCommand(args);
    }
    if (command == "schedule") {
        return cli::ScheduleCommand(args);
    }
    return cli::UsageError("unknown command '" + command + "'");
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Dispatch(argc, argv);
    } catch (const std::exception& e) {
        cli::PrintError(std::string("unexpected error: ") + e.what());
    } catch (...) {
        cli::PrintError("unexpected error");
    }
    return cli::kExitFailure;
}
