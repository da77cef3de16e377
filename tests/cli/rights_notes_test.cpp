// What the console tool says about its rights: machine-wide findings and another account's HKCU.
#include <gtest/gtest.h>

#include <memory>

#include "base/elevation.h"
#include "cli/rights_notes.h"
#include "support/memory_registry.h"

TEST(RightsNotes, MachineWideFindingsAreTheMachineOnes) {
    testsupport::MemoryRegistry registry;
    registry.AddKey("HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{USER}");
    RegErrorLogList findings;
    for (const char* path :
         {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\X", "hkey_local_machine\\SOFTWARE\\Y",
          "HKEY_CLASSES_ROOT\\CLSID\\{MACHINE}", "HKEY_CLASSES_ROOT\\CLSID\\{USER}",
          "HKEY_CURRENT_USER\\Software\\Z", "HKEY_LOCAL_MACHINE"}) {
        findings.push_back(std::make_unique<CRegErrorLog>());
        findings.back()->SetKeyPath(path);
    }
    // Two under HKLM and the class with no copy of the user's own; not the user's class, HKCU or a bare root.
    EXPECT_EQ(cli::MachineWideFindings(findings, registry), 3);
    EXPECT_EQ(cli::AdministratorNote(0, 6), "");
    EXPECT_NE(cli::AdministratorNote(3, 6).find(" 3 of the 6 findings are machine-wide"), std::string::npos);
}

TEST(RightsNotes, AnotherAccountOnlyWhenCertain) {
    const struct {
        const char* process;
        const char* session;
        bool other;
    } cases[] = {
        {"PC\\Admin", "PC\\Alice", true},   {"PC\\Alice", "pc\\ALICE", false},
        {"CORP\\alice", "PC\\alice", true}, {"alice", "PC\\Alice", false},
        {"PC\\Admin", "alice", true},       {"", "PC\\Alice", false},
        {"PC\\Admin", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base::IsOtherAccount(c.process, c.session), c.other) << c.process << " / " << c.session;
        EXPECT_EQ(cli::OtherAccountNote(c.process, c.session).empty(), !c.other);
    }
    EXPECT_EQ(
        cli::OtherAccountNote("PC\\Admin", "PC\\Alice"),
        "note: running as PC\\Admin, not as PC\\Alice who is logged on: HKEY_CURRENT_USER is PC\\Admin's, "
        "so PC\\Alice's own entries are not looked at");
}
