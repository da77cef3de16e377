#pragma once
// The demo mix: a deterministic set of registrations for the families the scan examines,
// some whose files exist (created here) and some whose files are missing, in the awkward forms
// real registries hold. One unit is the smallest set; the benchmark writes many units.
#include "demo_writer.h"

#include <string>

namespace seed {

// Every seeded name carries one of these markers, so the data can be found and removed again.
inline constexpr char kClassMarker[] = "{4F52564C-"; // "ORVL" in hex: the first group of every demo class
inline constexpr char kNameMarker[] = "OrvalinDemo"; // ProgIDs, tools, values and files
// Below HKEY_LOCAL_MACHINE: what was seeded (value "Units").
inline constexpr char kDemoKey[] = "SOFTWARE\\OrvalinDemo";

struct DemoLayout {
    std::string root;    // the folder the seeder owns, e.g. C:\OrvalinDemo
    std::string envRoot; // the same folder written with %SystemDrive%
    std::string fonts;   // the Windows fonts folder
};

DemoLayout DefaultLayout();

// What one unit holds, for the summary the tool prints.
struct UnitCounts {
    int classes;
    int helpValues;
    int fonts;
    int tools;
    int sharedDlls;
    int furtherEntries; // entries of the families after the first five
    int findings;       // what a scan is expected to report for one unit
};
UnitCounts CountsPerUnit();

// Files that every unit refers to; written once.
void WriteCommonFiles(DemoWriter& w, const DemoLayout& layout);
// Unit number `unit`: its names and class ids are unique to it.
void WriteUnit(DemoWriter& w, const DemoLayout& layout, int unit);
// One more working class beyond the units (number `index`), to grow the registry without adding findings.
void WriteExtraClass(DemoWriter& w, const DemoLayout& layout, int index);
// Where the further families live; "HKCU\" marks a key below HKEY_CURRENT_USER.
inline constexpr char kMachineVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr char kMachineVersion32[] = "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr char kUserVersion[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr char kMuiCache[] =
    "HKCU\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache";
inline constexpr char kInstallerFolders[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
// The further families' part of a unit, and the files it needs once.
void WriteFurtherFamilies(DemoWriter& w, const DemoLayout& layout, int unit);
void WriteFurtherCommonFiles(DemoWriter& w, const DemoLayout& layout);

// Removes every seeded key, value and file; returns the number of failures.
int RemoveDemoData(const DemoLayout& layout);

} // namespace seed
