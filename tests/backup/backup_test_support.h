#pragma once
// Helpers of the backup tests: recorded message boxes, findings, a fixed clock, registry snapshots.
#include "backup/backup_name.h"
#include "engine/registry_lib.h"
#include "winui/message_box.h"

#include <map>
#include <string>
#include <vector>

namespace backuptest {

// Records every box and answers OK.
class RecordingBoxes final : public winui::MessageBoxes {
public:
    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };
    int Show(HWND, const std::string& text, const std::string& caption, UINT type) override {
        boxes.push_back(Box{text, caption, type});
        return IDOK;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& b : boxes) {
            texts.push_back(b.text);
        }
        return texts;
    }
    std::vector<Box> boxes;
};

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
