#pragma once
// CRegistryLib: the registry engine. Its methods are the registry access layer, the five scan families,
// the fix, the backup writer and the restore; the last three are defined by the backup library, which is
// built on this one. Every registry call goes through an engine::RegistryApi.
#include "engine/records.h"
#include "engine/registry_api.h"
#include "engine/scan_events.h"
#include "engine/stop_poller.h"

#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

class CXmlWriter;
class CXmlReader;
struct PendingValue;
namespace base {
class MessageBoxes;
}

// Which base directory NormalizeReferencedPath prefixes to a bare file name.
enum class PathFamily { CLSID, Help, Fonts, SharedTools, SharedFiles };

// True on the Windows 9x family (high bit of GetVersion).
bool IsWindows9x();

class CRegistryLib {
public:
    explicit CRegistryLib(engine::RegistryApi& registry = engine::Win32Registry());
    CRegistryLib(engine::RegistryApi& registry, base::MessageBoxes& messages);
    virtual ~CRegistryLib();
    CRegistryLib(const CRegistryLib&) = delete;
    CRegistryLib& operator=(const CRegistryLib&) = delete;

    // --- registry access layer ---
    // Splits "ROOT\rest" at the first backslash: returns ROOT, leaves "rest" in path.
    static std::string SeperateMainKey(std::string& path);
    // Maps a root name (any case) to its predefined handle; false for names outside the table.
    static bool MapRootKey(const std::string& root, HKEY* key);
    LONG OpenKey(const std::string& root, const std::string& subKey, HKEY* result);
    // Deletes a key with all its subkeys, deepest first (the NT family's RegDeleteKeyA deletes only leaves).
    LONG RegDeleteKeyNT(HKEY parent, const char* subKey);
    LONG RegDelKey(const std::string& root, const std::string& subKey);
    // Deletes one value. "(Default)" names the unnamed value unless the key has a value of that literal name.
    LONG RegDelKeyValue(const std::string& root, const std::string& subKey, const std::string& valueName);
    // The file path that registry data refers to, for a test with _access. For PathFamily::Help the value
    // name is appended (the data names the folder, the value name the file).
    std::string NormalizeReferencedPath(const std::string& text, PathFamily family,
                                        const std::string& valueName = std::string()) const;
    // Reads every value of an open key as CRegValue records, raw bytes included; a "(Default)" record always
    // exists, first when the key has no unnamed value. Returns 0 when every value was read, otherwise the
    // first failure (the records read so far are still appended), so a backup can tell an incomplete read.
    LONG AddRegistryValues(HKEY key, RegValueList& values);

    // --- scan ---
    // Runs the five families in their fixed order, each appending its summary row to `errors`, after emptying
    // `errors` and m_arrErrorLog and resetting the stop event.
    void ScanRegistry(ScanErrorList& errors);
    void ScanRegistryCLSID(ScanErrorList& errors);
    void ScanRegistryHelp(ScanErrorList& errors);
    void ScanRegistrySharedTools(ScanErrorList& errors);
    void ScanRegistrySharedFiles(ScanErrorList& errors);
    void ScanRegistryFonts(ScanErrorList& errors);

    // --- fix, backup and restore (the backup subsystem) ---
    // Backs up and deletes every finding of the last scan. The backup goes to `backupFile`, or, when a file
    // of that name exists, to the first free "name-2.xml", "name-3.xml"...; m_strBackupFile tells which. A
    // finding is deleted only after its whole entry is on disk; when the file cannot be created or a write
    // fails, m_bBackupFailed is set and nothing more is deleted.
    void FixRegistry(ScanErrorList& errors, const std::string& backupFile);
    void FixRegistryCLSID(ScanErrorList& errors);
    void FixRegistryHelp(ScanErrorList& errors);
    void FixRegistryFonts(ScanErrorList& errors);
    void FixRegistrySharedTools(ScanErrorList& errors);
    void FixRegistrySharedFiles(ScanErrorList& errors);
    // 1 when the entry is complete in the file: the key (or value) as it is now, and every subkey below it.
    int SaveAsXml(CXmlWriter& writer, const std::string& keyPath, const CRegValue* value);
    int SaveAsXml(CXmlWriter& writer, const std::string& name, HKEY key, const CRegValue* value);
    // The open-file dialog, then RestoreRegistryFrom; false when cancelled or when the restore failed.
    bool RestoreRegistry();
    // LoadAsXml of one file with the wait cursor shown.
    bool RestoreRegistryFrom(const std::string& path);
    // 1 when the file was read to its end (a file cut short after a whole entry counts); 0 when it could not
    // be opened, on a parse error or when a key could not be opened or created.
    int LoadAsXml(CXmlReader& reader, const std::string& path);
    struct OpenKeyEntry {
        std::string m_strName;
        HKEY m_hKey = nullptr; // opened by the full path from the bottom entry down to this one
    };
    HKEY LoadAsXml_OpenKey(const std::vector<OpenKeyEntry>& stack);
    void LoadAsXml_CloseKey(HKEY key);
    void LoadAsXml_SetValue(HKEY key, const std::string& name, const std::string& text,
                            const std::string& typeText);
    void LoadAsXml_SetValue(HKEY key, const PendingValue& value);

    // Outcome of the last FixRegistry: the file it created (empty when none could be created).
    std::string m_strBackupFile;
    bool m_bBackupFailed = false;
    // Pause after each handled finding, so that the window's progress texts can be read; 0 for no pause.
    DWORD m_dwFixPauseMs = 100;

    // Tests force the Windows family to exercise both deletion strategies.
    void ForceWindows9x(bool win9x) { m_bWin9x = win9x; }
    engine::RegistryApi& Registry() { return m_registry; }
    base::MessageBoxes& Messages() { return m_messages; }
    // The Fonts key the font scan reads on this Windows family.
    std::string FontsKeyPath() const;

    ScanProgressProc m_pfnProgress = nullptr;
    RegErrorLogList m_arrErrorLog;
    // The fix's backup writer, made by the first fix unless a test put its own here. Shared only so that
    // the engine, which never writes backups, can own it without the writer's definition.
    std::shared_ptr<CXmlWriter> m_xmlWriter;
    bool m_bWin9x = false;

private:
    struct Counts {
        int scanned = 0;
        int found = 0;
    };
    // Pieces of AddRegistryValues, also used by the families that walk one long value list record by record.
    void PrepareValueBuffers(DWORD longestName, DWORD longestData);
    LONG ReadValue(HKEY key, DWORD index, std::unique_ptr<CRegValue>& value);
    static std::unique_ptr<CRegValue> UnsetDefaultValue();
    // True when AddRegistryValues would find a record named "(Default)" without inserting one.
    bool HasDefaultRecord(HKEY key);

    // The family's start test of the stop event; true when the family runs. Its loops then test m_stop.
    bool StartFamily();
    void Progress(const std::string& item, const char* status, const Counts& counts);
    void AddFinding(const char* category, const char* kind, std::string keyPath,
                    std::unique_ptr<CRegValue> value);
    static void AppendRow(ScanErrorList& errors, const char* description, const Counts& counts);
    // Scans the values of one key that lists file references (fonts, shared files).
    void ScanValueList(const std::string& keyPath, PathFamily family, bool pathInName, const char* category,
                       const char* status, Counts& counts);
    void ScanClassKey(HKEY clsidKey, const char* className, Counts& counts);
    std::vector<std::string> ReadProgIds(HKEY classKey, Counts& counts);
    // The key a ProgID finding may delete with the class `className` (in the hive that holds it), or "" when
    // the text does not name a key that is this class's ProgID and nothing else.
    std::string ProgIdKeyPath(const std::string& progId, const char* className);
    // True when the key below HKEY_CLASSES_ROOT is a ProgID of this class alone: its CLSID names the class
    // and its subkeys are only CLSID, CurVer and presentation keys.
    bool ProgIdBelongsToClass(const std::string& progId, const char* className);
    // True when a class of another id names `progId` as its ProgID or VersionIndependentProgID, or when that
    // cannot be told.
    bool ProgIdNamedByOtherClass(const std::string& progId, const char* className);
    // True when the class has no server in the 32-bit view that works or cannot be judged.
    bool NoWorkingThirtyTwoBitServer(const char* className);
    // True when the server text certainly names a missing file.
    bool ServerCertainlyMissing(const std::string& text);
    // HKEY_CURRENT_USER\Software\Classes\<below> when that key exists, else HKEY_LOCAL_MACHINE's; the merged
    // HKEY_CLASSES_ROOT path when neither hive has it (no per-user classes); "" when it cannot be told.
    std::string ClassesHivePath(const std::string& below);

    engine::RegistryApi& m_registry;
    base::MessageBoxes& m_messages;
    StopPoller m_stop;
    std::string m_strSystemDir;  // "C:\WINDOWS\system32", read once
    std::string m_strWindowsDir; // "C:\WINDOWS", read once
    std::string m_strWow64Dir;   // "C:\WINDOWS\SysWOW64", or "" on a system without a 32-bit side
    // Every (ProgID or VersionIndependentProgID text, class id) pair the class walk read; incomplete when a
    // class could not be read or the walk stopped, and then no ProgID is a finding.
    std::vector<std::pair<std::string, std::string>> m_progIdNamers;
    bool m_progIdNamersComplete = true;
    // The same, by upper-cased name, built when the first ProgID is judged.
    std::unordered_map<std::wstring, std::vector<std::wstring>> m_progIdIndex;
    // ProgID texts of dead classes, judged once the walk has seen every class: inserted at `position` of
    // m_arrErrorLog (right after their class's finding).
    struct PendingProgId {
        size_t position;
        std::string progId;
        std::string className;
    };
    std::vector<PendingProgId> m_pendingProgIds;
    void NoteProgIdNamer(HKEY classKey, const char* subKey, const char* className);
    void AddProgIdFindings(Counts& counts);
    // Reused by AddRegistryValues so that reading a key does not allocate its buffers anew.
    std::vector<char> m_nameBuffer;
    std::vector<BYTE> m_dataBuffer;
};
