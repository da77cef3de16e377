#pragma once
// CRegistryLib: the registry engine. Its methods are the registry access layer, the five scan families,
// the fix, the backup writer and the restore; the last three are defined by the backup library, which is
// built on this one. Every registry call goes through an engine::RegistryApi.
#include "engine/path_judgement.h"
#include "engine/records.h"
#include "engine/registry_api.h"
#include "engine/scan_events.h"
#include "engine/stop_poller.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CXmlWriter;
namespace engine {
class IgnoreList;
}
class CXmlReader;
class RestoreProblems;
struct PendingValue;
namespace base {
class MessageBoxes;
}

// Codes of a deletion or backup that stopped before it could reach beyond its finding: a registry link
// below the key, or a tree deeper than any walk here goes.
inline constexpr LONG kLinkInTheWay = ERROR_CANT_RESOLVE_FILENAME;
inline constexpr LONG kTooDeep = ERROR_FILENAME_EXCED_RANGE;

// What a restore does with a value that exists with other data than the backup holds for it.
enum class OverwritePolicy { Skip, Replace };

// What the last restore did.
struct RestoreOutcome {
    int failures = 0; // keys that could not be created and values that could not be set, each reported
    int written = 0;  // values set
    // "KEY\name" of every value that existed with other data: left as it was (Skip) or replaced.
    std::vector<std::string> differing;
    bool cancelled = false; // stopped between two entries by m_restoreContinue
};

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
    // A link at or below the key stops it with kLinkInTheWay, a tree deeper than 512 levels with kTooDeep.
    LONG RegDeleteKeyNT(HKEY parent, const char* subKey);
    LONG RegDelKey(const std::string& root, const std::string& subKey);
    // Deletes one value; the name goes to the registry as it is, so "(Default)" names only a value of that
    // literal name, never the unnamed value.
    LONG RegDelKeyValue(const std::string& root, const std::string& subKey, const std::string& valueName);
    // Reads every value of an open key as CRegValue records, raw bytes included; a "(Default)" record always
    // exists, first when the key has no unnamed value. Returns 0 when every value was read, otherwise the
    // first failure (the records read so far are still appended), so a backup can tell an incomplete read.
    LONG AddRegistryValues(HKEY key, RegValueList& values);

    // --- scan ---
    // Runs the selected families in their fixed order, each appending its summary row to `errors`, after
    // emptying `errors` and m_arrErrorLog. A stop asked for since BeginRun ends it.
    void ScanRegistry(ScanErrorList& errors);
    void ScanRegistryCLSID(ScanErrorList& errors);
    void ScanRegistryHelp(ScanErrorList& errors);
    void ScanRegistrySharedTools(ScanErrorList& errors);
    void ScanRegistrySharedFiles(ScanErrorList& errors);
    void ScanRegistryFonts(ScanErrorList& errors);
    // The further families, after the first five (each in a file of its own).
    void ScanRegistryAppPaths(ScanErrorList& errors);
    void ScanRegistryStartup(ScanErrorList& errors);
    void ScanRegistrySoftware(ScanErrorList& errors);
    void ScanRegistryTypeLibs(ScanErrorList& errors);
    void ScanRegistrySounds(ScanErrorList& errors);
    void ScanRegistryMuiCache(ScanErrorList& errors);
    void ScanRegistryInstallerFolders(ScanErrorList& errors);
    // Limits ScanRegistry to the families named in a comma-separated list (ParseFamilyList); an empty list
    // selects every family. False, with the first unknown name in `unknown`, when a name is not a family's;
    // the selection is then left as it was.
    bool SelectFamilies(const std::string& list, std::string* unknown);
    bool FamilySelected(std::size_t index) const { return m_selected.empty() || m_selected[index]; }
    // The rows a scan that nothing stopped appends.
    std::size_t SelectedFamilyCount() const;

    // --- fix, backup and restore (the backup subsystem) ---
    // Backs up and deletes every finding of the last scan. The backup goes to `backupFile`, or, when a file
    // of that name exists, to the first free "name-2.xml", "name-3.xml"...; m_strBackupFile tells which. A
    // finding is deleted only after its whole entry is on disk; when the file cannot be created or a write
    // fails, m_bBackupFailed is set and nothing more is deleted. A stop ends it after the entry in hand
    // (m_bFixStopped); one asked for before it begins leaves everything in place and creates no file.
    void FixRegistry(ScanErrorList& errors, const std::string& backupFile);
    void FixRegistryCLSID(ScanErrorList& errors);
    void FixRegistryHelp(ScanErrorList& errors);
    void FixRegistryFonts(ScanErrorList& errors);
    void FixRegistrySharedTools(ScanErrorList& errors);
    void FixRegistrySharedFiles(ScanErrorList& errors);
    // Judges a finding again just before the fix removes it, with the scan's rules, from what the registry
    // holds now. False when the entry is no longer certainly broken (reinstalled, changed, unreadable, or
    // its text is not exact): the fix leaves it alone. `classBroken` carries a class's answer to the
    // ProgID findings that follow it.
    bool StillBroken(const CRegErrorLog& finding, bool* classBroken);
    // After a type library's platform key is removed: its parents down to `levels` above it, each removed
    // only while it holds neither values nor subkeys (restoring the platform key recreates them).
    void RemoveEmptyParents(const std::string& keyPath, int levels);
    // 1 when the entry is complete in the file: the key (or value) as it is now, and every subkey below it.
    int SaveAsXml(CXmlWriter& writer, const std::string& keyPath, const CRegValue* value);
    int SaveAsXml(CXmlWriter& writer, const std::string& name, HKEY key, const CRegValue* value);
    // LoadAsXml of one file with the wait cursor shown.
    bool RestoreRegistryFrom(const std::string& path);
    // 1 when the file was read to its end (a file cut short after a whole entry counts) and every key and
    // value of it was written; 0 when it could not be opened, on a parse error, when any key could not be
    // created or any value not set (each is reported, and the restore goes on with the rest), or when it
    // was cancelled. Values that exist with other data follow m_overwrite; m_lastRestore tells the details.
    int LoadAsXml(CXmlReader& reader, const std::string& path);
    // Reads the file without writing: the values that exist in the registry with other data than the
    // file's ("KEY\name"), so that a restore can ask once before it replaces any.
    std::vector<std::string> DifferingValues(const std::string& path);
    struct OpenKeyEntry {
        std::string m_strName;
        HKEY m_hKey = nullptr; // opened relative to the entry below it; null when that failed
        bool m_bLink = false;  // the backup records that this key was a registry link
    };
    // Opens (or creates) the top entry's key inside the one below it, so that a key is reached whatever
    // the length of its full path; null, after a report, when it cannot be.
    HKEY LoadAsXml_OpenKey(const std::vector<OpenKeyEntry>& stack, RestoreProblems& problems);
    void LoadAsXml_CloseKey(HKEY key);
    void LoadAsXml_SetValue(HKEY key, const std::string& keyPath, const PendingValue& value,
                            RestoreProblems& problems);

    // Outcome of the last FixRegistry: the file it created (empty when none could be created).
    std::string m_strBackupFile;
    bool m_bBackupFailed = false;
    // The last fix was stopped before it had reached every finding.
    bool m_bFixStopped = false;
    // Each finding is judged again just before it is removed; off only for tests of the backup and the
    // deletion alone, whose findings are made by hand.
    bool m_bJudgeAgain = true;
    // Why no backup file could be created (for example a name that is a device), when that is known.
    std::string m_strBackupProblem;
    // Findings the last fix left in place on purpose, each as "path: why" (a registry link in or on it, a
    // tree too deep, a key that holds a whole family and so is a fault of the scan, ...).
    std::vector<std::string> m_arrNotRemoved;
    // The restore: how it treats values that differ, how many failures get a box of their own, and a hook
    // asked before each entry of the file (with the values written so far) that may cancel it there.
    OverwritePolicy m_overwrite = OverwritePolicy::Skip;
    std::size_t m_nRestoreBoxLimit = 20;
    std::function<bool(int written)> m_restoreContinue;
    RestoreOutcome m_lastRestore;

    // Tests force the Windows family to exercise both deletion strategies.
    void ForceWindows9x(bool win9x) { m_bWin9x = win9x; }
    engine::RegistryApi& Registry() { return m_registry; }
    // The file system the scans and the fix judge paths against; the real one unless a test maps drives.
    void UseFileSystem(engine::FileSystemApi& fs) { m_fs = &fs; }
    base::MessageBoxes& Messages() { return m_messages; }
    // The Fonts key the font scan reads on this Windows family.
    std::string FontsKeyPath() const;
    // True when `keyPath` is a key that holds a family's entries, a hive root or a key above one, by its
    // name or by where it really is; such a key is never removed.
    bool IsContainerKey(const std::string& keyPath);

    ScanProgressProc m_pfnProgress = nullptr;
    RegErrorLogList m_arrErrorLog;
    // Entries the user chose never to see: a scan counts them as scanned, never as found, and m_nIgnored
    // tells how many it passed over. Null: nothing is ignored.
    const engine::IgnoreList* m_pIgnoreList = nullptr;
    int m_nIgnored = 0;
    // Which findings of m_arrErrorLog the next fix removes, by position; empty: all of them. The others are
    // neither backed up nor touched.
    std::vector<bool> m_fixSelection;
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
    // False, and no finding, for a value record that its name does not name exactly any more, and for an
    // ignored entry (counted in m_nIgnored). `missingFile` defaults to the path the judge tested last.
    bool AddFinding(const char* category, const char* kind, std::string keyPath,
                    std::unique_ptr<CRegValue> value, const std::string* missingFile = nullptr);
    bool IsIgnored(const char* category, const char* kind, const std::string& keyPath,
                   const CRegValue* value);
    bool NamesExactly(const std::string& keyPath, const CRegValue& value);
    static void AppendRow(ScanErrorList& errors, const char* description, const Counts& counts);
    // Scans the values of one key that lists file references (fonts, shared files).
    void ScanValueList(const std::string& keyPath, engine::Reference kind, bool pathInName,
                       const char* category, const char* status, Counts& counts);
    // Walks the classes of one CLSID key: the merged 64-bit HKEY_CLASSES_ROOT\CLSID when `viewPath` is
    // empty, otherwise that key of the 32-bit view (its findings name it). Classes named in `skip` are passed
    // over; each class walked joins `walked` when given. False when the key's size could not be read.
    bool ScanClassList(HKEY clsidKey, const std::string& viewPath, const std::vector<std::wstring>& skip,
                       std::vector<std::wstring>* walked, Counts& counts);
    void ScanClassKey(HKEY clsidKey, const char* className, const std::string& viewPath, Counts& counts);
    // The key a ProgID finding may delete with the class `className` (in the hive that holds it), or "" when
    // the text does not name a key that is this class's ProgID and nothing else.
    std::string ProgIdKeyPath(const std::string& progId, const char* className, bool thirtyTwoBit);
    // True when the key below HKEY_CLASSES_ROOT is a ProgID of this class alone: its CLSID names the class
    // and its subkeys are only CLSID, CurVer and presentation keys.
    bool ProgIdBelongsToClass(const std::string& progId, const char* className);
    // Missing when every server of the open class key is certainly missing and its text is exact; a class
    // of the 32-bit view has its paths read as a 32-bit program reads them.
    engine::Verdict JudgeClass(HKEY classKey, bool thirtyTwoBit);
    // The judge of the running family (or fix), fresh for each so that no drive answer is kept for long.
    engine::PathJudge& Judge() { return *m_judge; }
    void NewJudge() { m_judge.emplace(*m_fs); }
    // True when a class of another id names `progId` as its ProgID or VersionIndependentProgID, or when that
    // cannot be told.
    bool ProgIdNamedByOtherClass(const std::string& progId, const char* className);
    // True when the class has no server in the other registry view (the 32-bit one for a 64-bit class, and
    // the other way round) that works or cannot be judged.
    bool NoWorkingServerInOtherView(const char* className, bool thirtyTwoBit);
    // HKEY_CURRENT_USER\Software\Classes\<below> when that key exists, else HKEY_LOCAL_MACHINE's; the merged
    // HKEY_CLASSES_ROOT path when neither hive has it (no per-user classes); "" when it cannot be told.
    std::string ClassesHivePath(const std::string& below);

    // --- the further families: verdicts shared by each family's scan and the fix's second judgement ---
    // The 32-bit view's entries (a path through WOW6432Node) are judged as a 32-bit program reads them.
    engine::Verdict JudgeAs(engine::Reference kind, const std::string& text, bool thirtyTwoBit,
                            const std::string& fileName = std::string());
    engine::Verdict JudgeAppPathKey(const std::string& keyPath, const RegValueList& values);
    engine::Verdict JudgeStartupValue(const std::string& keyPath, const CRegValue& value);
    engine::Verdict JudgeSoftwareKey(const std::string& keyPath, const RegValueList& values);
    engine::Verdict JudgeTypeLibKey(const std::string& keyPath, const RegValueList& values);
    engine::Verdict JudgeSoundValue(const std::string& keyPath, const CRegValue& value);
    engine::Verdict JudgeMuiCacheValue(const std::string& keyPath, const CRegValue& value);
    engine::Verdict JudgeInstallerFolderValue(const std::string& keyPath, const CRegValue& value);
    // StillBroken for a finding of the further families; false in `handled` for any other category.
    bool StillBrokenFurther(const CRegErrorLog& finding, HKEY key, bool* handled);
    // Walks the subkeys of `keyPath` whose whole text is exact; a KEY finding for each that `judge` finds
    // missing, with the record named `shown` as the value it shows. Stops between subkeys.
    void ScanKeyEntries(const std::string& keyPath, const char* category, const char* status,
                        const char* shown,
                        engine::Verdict (CRegistryLib::*judge)(const std::string&, const RegValueList&),
                        Counts& counts);
    // Walks the values of `keyPath` one at a time; a VAL finding for each that `judge` finds missing.
    void ScanValueEntries(const std::string& keyPath, const char* category, const char* status,
                          engine::Verdict (CRegistryLib::*judge)(const std::string&, const CRegValue&),
                          Counts& counts);
    std::vector<bool> m_selected; // empty: every family

    engine::RegistryApi& m_registry;
    base::MessageBoxes& m_messages;
    StopPoller m_stop;
    engine::FileSystemApi* m_fs = &engine::Win32FileSystem();
    std::optional<engine::PathJudge> m_judge;
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
        std::string missingFile; // the class's
        bool thirtyTwoBit;       // the class is in the 32-bit view
    };
    std::vector<PendingProgId> m_pendingProgIds;
    // Notes the (Default) text of a class's ProgID or VersionIndependentProgID subkey; `text`, when given,
    // receives it too.
    void NoteProgIdNamer(HKEY classKey, const char* subKey, const char* className,
                         std::optional<std::string>* text);
    void AddProgIdFindings(Counts& counts);
    // Reused by AddRegistryValues so that reading a key does not allocate its buffers anew.
    std::vector<char> m_nameBuffer;
    std::vector<BYTE> m_dataBuffer;
};

// The registry families in the order a full scan runs them, by the names the console tool and its --json
// output use.
struct RegistryFamily {
    const char* name;
    const char* description;
    void (CRegistryLib::*scan)(ScanErrorList& errors);
};
extern const RegistryFamily kRegistryFamilies[];
extern const std::size_t kRegistryFamilyCount;
// The name of the shortcut files' part of a run, which a family list may name too.
inline constexpr char kShortcutsFamily[] = "shortcuts";
// Reads a comma-separated list of family names (any case; "shortcuts" included). False, with the first name
// that is neither in `unknown`, when one is not known.
bool ParseFamilyList(const std::string& list, std::vector<bool>* selected, bool* shortcuts,
                     std::string* unknown);
// The family name of a row's description, or "" for none.
const char* FamilyName(const std::string& description);
