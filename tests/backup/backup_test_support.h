#pragma once
// Helpers of the backup tests: recorded message boxes, findings, a fixed clock, registry snapshots.
#include "backup/backup_name.h"
#include "engine/registry_lib.h"
#include "support/recording_boxes.h"

#include <map>
#include <string>
#include <vector>

namespace backuptest {

using testsupport::RecordingBoxes;

class FixedClock final : public backup::Clock {
public:
    explicit FixedClock(backup::LocalTime time) : m_time(time) {}
    backup::LocalTime Now() const override { return m_time; }

private:
    backup::LocalTime m_time;
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
