// orvalin-cli ignore list | add ID... | remove ID...: the entries the user never wants to see again. An id is
// added only when this scan finds an entry of that id, so the list holds what it names in readable form.
// Every id is checked before anything is written: one bad id changes nothing.
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/scan_run.h"
#include "engine/finding_id.h"
#include "engine/ignore_list.h"

#include <cstdio>
#include <exception>
#include <unordered_map>

namespace cli {
namespace {

std::string Describe(const engine::FindingName& name) {
    std::string text = name.category + "  " + name.keyPath;
    if (!name.valueName.empty()) {
        text += "  " + name.valueName;
    }
    return text;
}

int List(const engine::IgnoreList& list) {
    std::string out;
    for (const auto& [id, name] : list.Sorted()) {
        out += id + "  " + Describe(name) + "\n";
    }
    out += "Ignored entries: " + std::to_string(list.Size()) + "\n";
    if (!WriteStdout(out)) {
        PrintError("ignore: the list could not be written to the standard output");
        return kExitFailure;
    }
    return kExitOk;
}

// What each id of this scan's findings names: the registry scan alone, with nothing ignored.
std::unordered_map<std::string, engine::FindingName> ScannedEntries() {
    CRegistryLib engine;
    CShortcut links;
    ScanErrorList rows;
    ScanTargets targets;
    targets.shortcuts = false;
    RunScan(engine, links, targets, rows, StderrIsConsole());
    std::unordered_map<std::string, engine::FindingName> entries;
    for (const auto& finding : engine.m_arrErrorLog) {
        entries.emplace(engine::FindingId(*finding), engine::NameOf(*finding));
    }
    return entries;
}

int Add(engine::IgnoreList& list, const Args& ids) {
    const auto entries = ScannedEntries();
    bool unknown = false;
    for (const std::string& id : ids) {
        if (entries.count(engine::CanonicalId(id)) == 0 && !list.Contains(engine::CanonicalId(id))) {
            PrintError("ignore: no finding of this scan has the id " + id);
            unknown = true;
        }
    }
    if (unknown) {
        PrintError("ignore: nothing was added");
        return kExitFailure;
    }
    for (const std::string& id : ids) {
        const std::string canonical = engine::CanonicalId(id);
        if (list.Contains(canonical)) {
            std::printf("%s already ignored\n", canonical.c_str());
            continue;
        }
        const engine::FindingName& name = entries.at(canonical);
        const LONG rc = list.Add(engine::Win32Registry(), name);
        if (rc != ERROR_SUCCESS) {
            PrintError("ignore: " + canonical + " could not be written (error " + std::to_string(rc) + ")");
            return kExitFailure;
        }
        std::printf("%s ignored: %s\n", canonical.c_str(), Describe(name).c_str());
    }
    return kExitOk;
}

int Remove(engine::IgnoreList& list, const Args& ids) {
    bool unknown = false;
    for (const std::string& id : ids) {
        if (!list.Contains(engine::CanonicalId(id))) {
            PrintError("ignore: the ignore list has no entry " + id);
            unknown = true;
        }
    }
    if (unknown) {
        PrintError("ignore: nothing was removed");
        return kExitFailure;
    }
    for (const std::string& id : ids) {
        const LONG rc = list.Remove(engine::Win32Registry(), id);
        if (rc != ERROR_SUCCESS) {
            PrintError("ignore: " + id + " could not be removed (error " + std::to_string(rc) + ")");
            return kExitFailure;
        }
        std::printf("%s no longer ignored\n", engine::CanonicalId(id).c_str());
    }
    return kExitOk;
}

} // namespace

int IgnoreCommand(const Args& args) {
    if (args.empty() || (args[0] != "list" && args[0] != "add" && args[0] != "remove")) {
        return UsageError("ignore: use ignore list | add ID... | remove ID...");
    }
    const Args ids(args.begin() + 1, args.end());
    if (args[0] == "list" ? !ids.empty() : ids.empty()) {
        return UsageError(args[0] == "list" ? "ignore list takes no arguments"
                                            : "ignore " + args[0] + " needs one or more finding ids");
    }
    for (const std::string& id : ids) {
        if (!engine::IsFindingId(id)) {
            return UsageError("ignore: '" + id + "' is not a finding id (16 hex digits, as scan shows them)");
        }
    }
    try {
        engine::IgnoreList list;
        list.Load(engine::Win32Registry());
        if (!ReportIgnoreList(list, "ignore")) {
            return kExitFailure;
        }
        if (args[0] == "list") {
            return List(list);
        }
        return args[0] == "add" ? Add(list, ids) : Remove(list, ids);
    } catch (const std::exception& e) {
        PrintError(std::string("ignore failed: ") + e.what());
    } catch (...) {
        PrintError("ignore failed");
    }
    return kExitFailure;
}

} // namespace cli
