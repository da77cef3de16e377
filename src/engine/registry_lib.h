#pragma once
// CRegistryLib: the registry engine. Its methods are the registry access layer, the five scan families,
// the fix, the backup writer and the restore. Every registry call goes through an engine::RegistryApi.
#include "engine/records.h"
#include "engine/registry_api.h"
#include "engine/scan_events.h"

#include <memory>
#include <string>
#include <vector>

class CXmlWriter;
class CXmlReader;
namespace winui {
class MessageBoxes;
}

// Which base directory NormalizeReferencedPath prefixes to a bare file name.
enum class PathFamily { CLSID, Help, Fonts, SharedTools, SharedFiles };

// True on the Windows 9x family (high bit of GetVersion).
bool IsWindows9x();

class CRegistryLib {
public:
    explicit CRegistryLib(engine::RegistryApi& registry = engine::Win32Registry());
    CRegistryLib(engine::RegistryApi& registry, winui::MessageBoxes& messages);
    virtual ~CRegistryLib();
    CRegistryLib(const CRegistryLib&) = delete;
    CRegistryLib& operator=(const CRegistryLib&) = delete;

    // --- registry access layer ---
    // Splits "ROOT\rest" at the first backslash: returns ROOT, leaves "rest" in path.
    static std::string SeperateMainKey(std::string& path);
    // Maps a root name (any case) to its predefined handle; false for names outside the table.
    static bool MapRootKey(const std::string& root, HKEY* key);
    LONG OpenKey(const std::string& root, const std::string& subKey, HKEY* result);
    LONG RegDeleteKeyNT(HKEY parent, const char* subKey);
    LONG RegDelKey(const std::string& root, const std::string& subKey);
    LONG RegDelKeyValue(const std::string& root, const std::string& subKey, const std::string& valueName);
    // The file path that registry data refers to, for a test with _access.
    std::string NormalizeReferencedPath(const std::string& text, PathFamily family,
                                        const std::string& valueName = std::string()) const;
    // Reads every value of an open key as CRegValue records (a "(Default)" record always comes first).
    void AddRegistryValues(HKEY key, RegValueList& values);

    // --- scan ---
    void ScanRegistry(ScanErrorList& errors);
    void ScanRegistryCLSID(ScanErrorList& errors);
    void ScanRegistryHelp(ScanErrorList& errors);
    void ScanRegistrySharedTools(ScanErrorList& errors);
    void ScanRegistrySharedFiles(ScanErrorList& errors);
    void ScanRegistryFonts(ScanErrorList& errors);

    // --- fix, backup and restore (the backup subsystem) ---
    void FixRegistry(ScanErrorList& errors, const std::string& backupFile);
    void FixRegistryCLSID(ScanErrorList& errors);
    void FixRegistryHelp(ScanErrorList& errors);
    void FixRegistryFonts(ScanErrorList& errors);
    void FixRegistrySharedTools(ScanErrorList& errors);
    void FixRegistrySharedFiles(ScanErrorList& errors);
    int SaveAsXml(CXmlWriter& writer, const std::string& keyPath, const CRegValue* value);
    int SaveAsXml(CXmlWriter& writer, const std::string& name, HKEY key, const CRegValue* value);
    bool RestoreRegistry();
    int LoadAsXml(CXmlReader& reader, const std::string& path);

    // Tests force the Windows family to exercise both deletion strategies.
    void ForceWindows9x(bool win9x) { m_bWin9x = win9x; }
    engine::RegistryApi& Registry() { return m_registry; }
    winui::MessageBoxes& Messages() { return m_messages; }

    ScanProgressProc m_pfnProgress = nullptr;
    RegErrorLogList m_arrErrorLog;
    std::unique_ptr<CXmlWriter> m_xmlWriter;
    bool m_bWin9x = false;

private:
    engine::RegistryApi& m_registry;
    winui::MessageBoxes& m_messages;
};
