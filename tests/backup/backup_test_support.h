#pragma once
// Helpers of the backup tests: recorded message boxes, findings, a fixed clock, registry snapshots.
#include "backup/backup_name.h"
#include "engine/registry_lib.h"
#include "support/recording_boxes.h"

#include <map>
#include <string>
#include <vector>

namespace backuptest {

// The backup of one COM class key with a server key below it, as the file format's description shows it:
// what the writer gives for that key, byte for byte.
inline constexpr char kDocumentedExample[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    " <registry>\r\n"
    "  <k name=\"HKEY_CLASSES_ROOT\">\r\n"
    "   <k name=\"CLSID\">\r\n"
    "    <k name=\"{G}\">\r\n"
    "     <v name=\"(Default)\" value=\"X\"/>\r\n"
    "     <k name=\"InprocServer32\">\r\n"
    "      <v name=\"(Default)\" value=\"C:\\a.dll\"/>\r\n"
    "      <v name=\"Flags\" value=\"0x00000001 (1)\" type=\"REG_DWORD\"/>\r\n"
    "     </k>\r\n"
    "    </k>\r\n"
    "   </k>\r\n"
    "  </k>\r\n"
    " </registry>\r\n";

using testsupport::RecordingBoxes;

class FixedClock final : public base::Clock {
public:
    explicit FixedClock(base::LocalTime time) : m_time(time) {}
    base::LocalTime Now() const override { return m_time; }

private:
    base::LocalTime m_time;
};

// A new, empty folder for one test. Process ids repeat under Wine, so the name also carries the clock.
std::string FreshFolder(const std::string& hint);

// Appends a finding to the engine's list; a value finding gets a record named `valueName` with the given
// text (no raw bytes, as a test-made record would have).
void AddKeyFinding(CRegistryLib& engine, const std::string& category, const std::string& keyPath);
void AddValueFinding(CRegistryLib& engine, const std::string& category, const std::string& keyPath,
                     const std::string& valueName, const std::string& text = "x", DWORD type = REG_SZ);

// The five summary rows of a full scan, all counts 0.
ScanErrorList FiveRows();
int FixedOf(const ScanErrorList& rows, const char* description);

// Everything below a key, read through a registry seam: "path" -> sorted "name|type|hex bytes" lines, with
// "<unnamed>" for the default value. Key paths are relative to the key the snapshot starts from.
using Snapshot = std::map<std::string, std::vector<std::string>>;
Snapshot TakeSnapshot(engine::RegistryApi& registry, HKEY root, const std::string& path);

} // namespace backuptest
