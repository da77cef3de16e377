#pragma once
// The records a scan produces: one value as text, one finding, one summary row per family.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// One registry value as text. The raw bytes are kept as well, so that a backup never depends on a
// text form that cannot hold every value exactly.
class CRegValue {
public:
    std::string m_strName; // "(Default)" for the unnamed value
    std::string m_strData; // text form; "(value not set)" when the unnamed value is absent
    DWORD m_dwType = REG_SZ;
    std::vector<BYTE> m_raw; // the bytes as read from the registry
    bool m_bHasRaw = false;  // false for records that were not read from the registry
};

// One summary row per scan family.
class CScanError {
public:
    std::string m_strDescription;
    int m_nScanned = 0;
    int m_nFound = 0;
    int m_nFixed = 0;                // entries the last fix removed
    int m_nRefused = 0;              // entries the last fix tried to remove and could not (refused or failed)
    LONG m_lRefusal = ERROR_SUCCESS; // the code of the first of those, for the text shown beside the count
    int m_nNoLongerBroken = 0;       // findings the last fix judged again and left alone
};

// What a row shows beside its removed count when something was refused: "Access Denied", or the failure.
std::string RefusalText(LONG code);

// One finding: the key or value that the fix removes.
class CRegErrorLog {
public:
    CRegErrorLog() = default;
    virtual ~CRegErrorLog() = default;
    CRegErrorLog(const CRegErrorLog&) = delete;
    CRegErrorLog& operator=(const CRegErrorLog&) = delete;

    void SetCategory(const std::string& category) { m_strCategory = category; }
    void SetKeyPath(const std::string& keyPath) { m_strKeyPath = keyPath; }
    void SetKind(const std::string& kind) { m_strKind = kind; }
    void SetValue(std::unique_ptr<CRegValue> value) { m_pValue = std::move(value); }
    void SetMissingFile(const std::string& path) { m_strMissingFile = path; }

    std::string GetCategory() const { return m_strCategory; }
    std::string GetKeyPath() const { return m_strKeyPath; }
    std::string GetKind() const { return m_strKind; }
    const CRegValue* GetValue() const { return m_pValue.get(); }
    // The file that was looked for and not found: what made this entry a finding.
    std::string GetMissingFile() const { return m_strMissingFile; }

private:
    std::string m_strCategory;
    std::string m_strKeyPath;
    std::unique_ptr<CRegValue> m_pValue; // owned; null for kinds that name a whole key without a value
    std::string m_strKind;               // "KEY" or "VAL"
    std::string m_strMissingFile;
};

using RegValueList = std::vector<std::unique_ptr<CRegValue>>;
using ScanErrorList = std::vector<std::unique_ptr<CScanError>>;
using RegErrorLogList = std::vector<std::unique_ptr<CRegErrorLog>>;

// Summary row descriptions, in the order a full scan appends them.
inline constexpr char kDescriptionCLSID[] = "Invalid CLSID";
inline constexpr char kDescriptionHelp[] = "Corrupt Help Files";
inline constexpr char kDescriptionSharedTools[] = "Invalid Shared Tools";
inline constexpr char kDescriptionSharedFiles[] = "Corrupt Shared Files";
inline constexpr char kDescriptionFonts[] = "Corrupt Fonts";
inline constexpr char kDescriptionAppPaths[] = "Invalid Application Paths";
inline constexpr char kDescriptionStartup[] = "Missing Startup Programs";
inline constexpr char kDescriptionSoftware[] = "Obsolete Software Entries";
inline constexpr char kDescriptionTypeLibs[] = "Invalid Type Libraries";
inline constexpr char kDescriptionSounds[] = "Missing Sound Files";
inline constexpr char kDescriptionMuiCache[] = "Obsolete MUI Cache Entries";
inline constexpr char kDescriptionInstallerFolders[] = "Missing Installer Folders";

// Category tags written by the scans and selected (upper-cased) by the fix passes.
inline constexpr char kCategoryCLSID[] = "CLSID";
inline constexpr char kCategoryProgID[] = "PROGID";
inline constexpr char kCategoryHelp[] = "Help";
inline constexpr char kCategoryFont[] = "font";
inline constexpr char kCategorySharedTools[] = "SharedTools";
inline constexpr char kCategorySharedFile[] = "SharedFile";
inline constexpr char kCategoryAppPath[] = "AppPath";
inline constexpr char kCategoryStartup[] = "Startup";
inline constexpr char kCategorySoftware[] = "Software";
inline constexpr char kCategoryTypeLib[] = "TypeLib";
inline constexpr char kCategorySound[] = "Sound";
inline constexpr char kCategoryMuiCache[] = "MuiCache";
inline constexpr char kCategoryInstallerFolder[] = "InstallerFolder";

inline constexpr char kKindKey[] = "KEY";
inline constexpr char kKindValue[] = "VAL";

inline constexpr char kDefaultValueName[] = "(Default)";
inline constexpr char kValueNotSet[] = "(value not set)";
