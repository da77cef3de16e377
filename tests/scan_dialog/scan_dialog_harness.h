#pragma once
// Running scan dialogs in a test: each on its own thread as the program runs it, on a copy of the shipped
// skin in a fresh current directory (backups land there), with recorded message boxes, no fix pause and
// a shortcut scan limited to chosen drives. The test thread acts as the user: it clicks the skinned
// buttons (mouse messages sent to their windows) and waits for screens.
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/registry_api.h"
#include "scan_dialog/summary.h"
#include "support/memory_registry.h"
#include "support/recording_boxes.h"
#include "base/message_box.h"
#include "base/unique_handle.h"

namespace dialogtest {

// Message boxes shown by any thread, recorded and answered with IDOK.
class RecordingBoxes final : public base::MessageBoxes {
public:
    using Box = testsupport::ShownBox;
    int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    std::vector<Box> Shown() const;

private:
    mutable std::mutex m_lock;
    std::vector<Box> m_shown;
};

// The in-memory registry with a gate: the first scan enumeration (a scan's first key) or the first
// deletion (a fix's first finding) waits until the test opens the gate or the stop event is signalled,
// so that a test acts while a worker is known to be running.
class GatedRegistry final : public engine::RegistryApi {
public:
    enum class Gate { None, Scan, Fix };
    explicit GatedRegistry(testsupport::MemoryRegistry& inner);
    // The gate holds the call after `skip` calls have passed it.
    void Close(Gate gate, int skip = 0);
    // Waits until a worker is held at the gate.
    bool WaitUntilHeld(DWORD timeoutMs = 10000) const;
    void Open();
    // From now on, the first call at that gate throws instead (a failure inside the engine).
    void ThrowAt(Gate gate) { m_throwAt = gate; }

    LONG OpenKey(HKEY key, const char* subKey, HKEY* result) override;
    LONG OpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM sam, HKEY* result) override;
    LONG CreateKey(HKEY key, const char* subKey, HKEY* result) override;
    LONG QueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values, DWORD* maxValueNameLen,
                      DWORD* maxValueLen) override;
    LONG EnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameLen) override;
    LONG EnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, BYTE* data,
                   DWORD* dataLen) override;
    LONG QueryValueEx(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* dataLen) override;
    LONG SetValueEx(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteKey(HKEY key, const char* subKey) override;
    LONG DeleteValue(HKEY key, const char* name) override;
    LONG CloseKey(HKEY key) override;

private:
    void Pass(Gate at);

    testsupport::MemoryRegistry& m_inner;
    Gate m_gate = Gate::None;
    int m_skip = 0;
    Gate m_throwAt = Gate::None;
    base::KernelHandle m_held;
    base::KernelHandle m_open;
};

// Seeds one finding of each registry family in the in-memory registry, with `missing` as the file that
// does not exist. Returns the number of findings.
int SeedFindings(testsupport::MemoryRegistry& registry, const std::string& missing);
// The five keys the families read, present and empty.
void SeedEmptyFamilies(testsupport::MemoryRegistry& registry);

// A shortcut whose target existed when it was saved and was deleted afterwards.
void SaveBrokenShortcut(const std::string& linkPath, const std::string& targetFolder);
bool FileExists(const std::string& path);

// Replaces a file's content.
void WriteText(const std::string& path, const std::string& text);
// Appends a button record to a numbered section of a skin file.
void WriteSkinWithButton(const std::string& skinPath, const std::string& section, const std::string& record);

// One scan dialog on its own thread. The dialog object lives as long as its thread.
class DialogRun {
public:
    DialogRun(const ScanDialogOptions& options, const std::string& skinPath, HWND parent = nullptr);
    // A dialog someone else started (a page of the main window), with its thread's handle.
    DialogRun(Summary& dialog, HANDLE thread);
    // A dialog still open is cancelled and its thread waited for.
    ~DialogRun();
    DialogRun(const DialogRun&) = delete;
    DialogRun& operator=(const DialogRun&) = delete;

    bool Started() const { return static_cast<bool>(m_thread); }
    bool Ended(DWORD timeoutMs = 0) const;
    // Waits until the dialog shows `screen` and has handled everything sent to it so far.
    bool WaitForScreen(ScanScreen screen, DWORD timeoutMs = 20000);
    // A click on the current screen's skinned button of that name; false when the screen has none.
    bool Click(const std::string& name);
    // Lets the dialog's thread finish what it is doing.
    void Sync() const;
    Summary& Dialog() const { return *m_dialog; }
    HWND Window() const { return m_window; }
    HANDLE Thread() const { return m_thread.Get(); }
    // Every row of the results list, column by column (as many columns as the list has).
    std::vector<std::vector<std::string>> ListRows() const;

private:
    Summary* m_dialog = nullptr;
    HWND m_window = nullptr;
    base::KernelHandle m_thread;
};

// Saves the screen's pixels under a window as a PNG file.
bool SaveWindowPicture(HWND window, const std::string& path);

// Every case: flags and events reset, a fresh current directory holding a copy of the shipped skin.
class ScanDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The dialog's options on `registry`; shortcuts only on `drives` (none by default).
    ScanDialogOptions Options(engine::RegistryApi& registry, const std::string& drives = "Q");

    RecordingBoxes boxes;
    std::string folder;   // the current directory of the case
    std::string skinPath; // folder\skin\Skin.ini
    std::string missing;  // a file that never exists

private:
    std::string m_previousDirectory;
};

} // namespace dialogtest
