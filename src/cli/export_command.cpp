// orvalin-cli export BACKUP.xml [OUT.reg]: a backup file as a registry editor's import file, so that any
// registry tool can show or put back what a fix removed. The backup is read as the restore reads it, so the
// file holds exactly what a restore would write.
#include "backup/backup_entries.h"
#include "backup/reg_file.h"
#include "backup/xml_reader.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "base/unique_handle.h"

#include <windows.h>

#include <cstdio>
#include <exception>

namespace cli {
namespace {

// The backup's path with ".reg" for its ".xml" (any case); other names get ".reg" appended.
std::string DefaultOutput(const std::string& backup) {
    const std::size_t dot = backup.size() >= 4 ? backup.size() - 4 : std::string::npos;
    if (dot != std::string::npos && lstrcmpiA(backup.c_str() + dot, ".xml") == 0) {
        return backup.substr(0, dot) + ".reg";
    }
    return backup + ".reg";
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n == 0 || n >= sizeof full ? path : std::string(full, n);
}

bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const base::FileHandle file(CreateFileA(path.c_str(), 0,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.Get(), &info);
}

// Writing the output must never replace the backup, whatever name leads to it.
bool IsSameFile(const std::string& a, const std::string& b) {
    if (lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0) {
        return true;
    }
    BY_HANDLE_FILE_INFORMATION first = {};
    BY_HANDLE_FILE_INFORMATION second = {};
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

int Export(const std::string& backup, const std::string& output) {
    if (IsSameFile(backup, output)) {
        return UsageError("export: the output file would replace the backup '" + backup + "'");
    }
    CXmlReader reader;
    BackupContents contents;
    if (!ReadBackupEntries(reader, backup, contents)) {
        PrintError("export: cannot read backup '" + backup + "': " + contents.error);
        return kExitFailure;
    }
    for (const UnreadableValue& value : contents.unreadable) {
        PrintError("export: value '" + value.name + "' of " + value.keyPath +
                   " has no data that can be set; left out, as the restore leaves it out");
    }
    const RegFileText file = BuildRegFile(contents);
    for (const std::string& key : file.leftOut) {
        PrintError("export: key left out, a .reg file cannot name it (line break in its name): " + key);
    }
    if (!WriteRegFile(output, file.text)) {
        PrintError("export: cannot write '" + output + "'");
        return kExitFailure;
    }
    std::printf("%zu key(s), %zu value(s) written to %s\n", file.keyCount, file.valueCount, output.c_str());
    return file.leftOut.empty() ? kExitOk : kExitFailure;
}

} // namespace

int ExportCommand(const Args& args) {
    if (args.empty() || args.size() > 2) {
        return UsageError("export: a backup file and at most one output file expected");
    }
    for (const std::string& arg : args) {
        if (arg.empty() || arg.rfind("--", 0) == 0) {
            return UsageError("export: unknown argument '" + arg + "'");
        }
    }
    try {
        return Export(args[0], args.size() == 2 ? args[1] : DefaultOutput(args[0]));
    } catch (const std::exception& e) {
        PrintError(std::string("export failed: ") + e.what());
    } catch (...) {
        PrintError("export failed");
    }
    return kExitFailure;
}

} // namespace cli
