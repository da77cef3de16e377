#pragma once
// CShortcut: finds shortcut files (.lnk) on the fixed drives whose target file no longer exists, moves
// them into the folder kept beside a fix's backup file, and keeps the counts the scan window shows.
#include "engine/path_judgement.h"
#include "engine/scan_events.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

// Status texts passed to the progress callback.
inline constexpr char kStatusSearchingFolders[] = "Searching Dir For Shorcuts";
inline constexpr char kStatusScanningShortcuts[] = "Scanning ShortCuts";
inline constexpr char kStatusFixingShortcuts[] = "Fixing ShortCuts";

class CShortcut {
public:
    CShortcut();
    virtual ~CShortcut();
    CShortcut(const CShortcut&) = delete;
    CShortcut& operator=(const CShortcut&) = delete;

    // Resets the list and the counters, then walks every fixed drive (or the fixed ones among the
    // letters given to LimitToDrives). Under Wine a drive that leads out of the prefix is walked only when
    // LimitToDrives names it. Cloud folders and other users' profiles are never entered. Returns at once
    // when the stop event is signalled.
    void ScanLinkFile();
    // Walks the folders below one folder ("C:" for a drive), depth first in enumeration order, and
    // examines the shortcuts of each. The folder itself is not searched.
    void RecurseFolder(const std::string& folder);
    // Examines the .lnk files directly inside one folder.
    void SearchLinkFileAndResolve(const std::string& folder);
    // Examines one shortcut file; lists it when its target is certainly missing: a plain path (variables
    // expanded) on a fixed drive that is not found, and that the shell cannot resolve either.
    HRESULT ResolveShortCut(const std::string& path);
    // Moves every listed shortcut into the folder kept beside the backup file of the same fix
    // (see shortcut_backup.h). Each is judged again first: one that is no longer certainly broken (its
    // target came back, say) stays and is counted in m_nLinksNoLongerBroken. A file that cannot be moved
    // there stays where it is and counts as refused. The list is left as it is.
    void FixLinkFile(const std::string& backupFile);

    // Restricts the scan to these drive letters (any case); empty means every drive. Only fixed drives
    // are walked either way.
    void LimitToDrives(std::string letters);

    std::vector<std::string> m_arrMissingLinks; // full paths of shortcuts whose target is missing
    int m_nLinksScanned = 0;                    // shortcut files examined by the current scan
    int m_nLinksFixed = 0;                      // shortcut files taken away by the last fix
    int m_nLinksRefused = 0;                    // listed files the last fix found in place and could not move
    int m_nLinksFound = 0;                      // entries added to m_arrMissingLinks by the current scan
    int m_nLinksNoLongerBroken = 0;             // listed shortcuts the last fix left because they now work
    ScanProgressProc m_pfnProgress = nullptr;

private:
    // Lists one folder once: examines its shortcuts when asked and returns the names of its subfolders
    // that the walk may enter.
    std::vector<std::string> ListFolder(const std::string& folder, bool examineShortcuts);
    // True when the shortcut's target is certainly missing; `hr` is the last result of reading the link.
    bool TargetCertainlyMissing(const std::string& path, HRESULT& hr);
    void Report(const std::string& item, const char* status, int scanned, int found) const;
    bool DriveSelected(char letter) const;
    // GetDriveTypeA is slow under Wine and a scan asks it once per shortcut: remembered per scan.
    UINT DriveType(char letter);

    // How long the shell may search for a moved target before a link is called broken.
    static constexpr WORD kResolveTimeoutMs = 500;

    std::string m_strDrives;
    std::vector<std::string> m_excludedFolders; // full paths the walk never enters
    std::array<UINT, 26> m_driveTypes{};
    std::array<bool, 26> m_driveTypeKnown{};
    // Judges targets for one scan or one fix (it remembers which drives answer).
    std::optional<engine::PathJudge> m_judge;
};
