#pragma once
// What the engine tests share: an engine on the in-memory registry, a folder of real files that exist or
// not, and a progress callback that records its calls and can signal the stop event at a chosen call.
#include "engine/registry_lib.h"
#include "support/memory_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace enginetest {

struct ProgressCall {
    std::string item;
    std::string status;
    int scanned;
    int found;
};

// The callback is a plain function, so what it records lives here.
struct ProgressLog {
    static inline std::vector<ProgressCall> calls;
    static inline size_t stopAtCall = 0; // 0: never stop

    static void Record(std::string item, std::string status, int scanned, int found) {
        calls.push_back({std::move(item), std::move(status), scanned, found});
        if (stopAtCall != 0 && calls.size() == stopAtCall) {
            RequestStop();
        }
    }
    static void Reset() {
        calls.clear();
        stopAtCall = 0;
    }
};

inline std::string SystemDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof dir);
    return dir;
}

inline std::string WindowsDir() {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

inline void WriteFile(const std::string& path) {
    std::ofstream(path) << "x";
}

// An engine on an in-memory registry, with a temp folder holding "present.dll" and never "missing.dll".
class MemoryEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetEvent(StopEvent());
        ProgressLog::Reset();
        lib.ForceWindows9x(false);
        lib.m_pfnProgress = &ProgressLog::Record;
        folder = testsupport::MakeTempFolder("engine");
        present = folder + "\\present.dll";
        missing = folder + "\\missing.dll";
        WriteFile(present);
    }
    void TearDown() override {
        ResetEvent(StopEvent());
        DeleteFileA(present.c_str());
        RemoveDirectoryA(folder.c_str());
        EXPECT_EQ(registry.OpenHandles(), 0) << "a key handle was not closed";
    }

    // One row of the list by description, or null.
    static const CScanError* Row(const ScanErrorList& rows, const std::string& description) {
        for (const auto& row : rows) {
            if (row->m_strDescription == description) {
                return row.get();
            }
        }
        return nullptr;
    }

    testsupport::MemoryRegistry registry;
    CRegistryLib lib{registry};
    std::string folder;
    std::string present;
    std::string missing;
};

// The keys of the help, shared-tools, shared-DLL and font families.
inline constexpr char kWindows[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows";
inline constexpr char kTools[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools";
inline constexpr char kSharedDlls[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr char kFontsNT[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// A scan's summary rows and findings, read back.
class FamilyRowsTest : public MemoryEngineTest {
protected:
    std::string FindingLine(size_t i) const {
        if (i >= lib.m_arrErrorLog.size()) {
            return "none";
        }
        const auto& f = lib.m_arrErrorLog[i];
        return f->GetCategory() + " " + f->GetKind() + " " + f->GetKeyPath() + " | " +
               (f->GetValue() ? f->GetValue()->m_strName + " = " + f->GetValue()->m_strData : "-");
    }
    // One counter summed over the rows.
    int RowSum(int CScanError::*counter) const {
        int total = 0;
        for (const auto& row : rows) {
            total += (*row).*counter;
        }
        return total;
    }

    ScanErrorList rows;
};

inline constexpr char kClass[] = "{2222BBBB-2222-3333-4444-555555555555}";
inline constexpr char kUser[] = "HKEY_CURRENT_USER\\Software\\Classes";
inline constexpr char kMachine[] = "HKEY_LOCAL_MACHINE\\Software\\Classes";
inline constexpr char kProgId[] = "Merged.Prog.1";

// The engine on an in-memory registry that merges the classes hives as Windows does.
class MergedClassesTest : public MemoryEngineTest {
protected:
    void SetUp() override {
        MemoryEngineTest::SetUp();
        registry.SetMergedClasses(true);
    }
    // A class with one server and its ProgID key in one hive; an empty server text adds neither.
    void Class(const std::string& hive, const std::string& server, const std::string& view = "") {
        if (server.empty()) {
            return;
        }
        const std::string key = hive + view + "\\CLSID\\" + kClass;
        registry.SetString(key + "\\InprocServer32", "", server);
        registry.SetString(key + "\\ProgID", "", kProgId);
        registry.SetString(hive + "\\" + kProgId + "\\CLSID", "", kClass);
    }
    // Both hives emptied, for the next case of a table.
    void Reset() {
        registry.ClearFailures();
        registry.SetWin9xDelete(true);
        registry.DeleteKey(HKEY_CURRENT_USER, "Software");
        registry.DeleteKey(HKEY_LOCAL_MACHINE, "Software");
        registry.SetWin9xDelete(false);
        registry.SetMergedClasses(true);
        lib.m_arrErrorLog.clear();
    }
    std::vector<std::string> Findings() {
        ScanErrorList rows;
        lib.ScanRegistryCLSID(rows);
        std::vector<std::string> paths;
        for (const auto& finding : lib.m_arrErrorLog) {
            paths.push_back(finding->GetKeyPath());
        }
        return paths;
    }
};

} // namespace enginetest
