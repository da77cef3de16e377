// Classes as Windows shows them: HKEY_CLASSES_ROOT merged from the user's and the machine's hive, and a
// 32-bit view of CLSID beside the 64-bit one.
#include "engine/wow64_path.h"
#include "engine_test_support.h"

namespace {

using enginetest::kClass;
using enginetest::kMachine;
using enginetest::kProgId;
using enginetest::kUser;
using MergedClassesTest = enginetest::MergedClassesTest;

TEST_F(MergedClassesTest, TheRegistryMergesAsWindowsDoes) {
    registry.SetString(std::string(kUser) + "\\Shared", "who", "user");
    registry.SetString(std::string(kMachine) + "\\Shared", "who", "machine");
    registry.AddKey(std::string(kMachine) + "\\Shared\\MachineOnly");
    registry.AddKey(std::string(kUser) + "\\Shared\\UserOnly");
    EXPECT_EQ(registry.SubKeyNames("HKEY_CLASSES_ROOT\\Shared"), std::vector<std::string>{"UserOnly"});
    HKEY shared = nullptr;
    ASSERT_EQ(registry.OpenKey(HKEY_CLASSES_ROOT, "Shared", &shared), ERROR_SUCCESS);
    char name[32];
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (registry.EnumKeyEx(shared, i, name, &length) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MachineOnly", "UserOnly"})); // the union of both hives
    const std::string text = "new";
    EXPECT_EQ(registry.SetValueEx(shared, "who", REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), 4),
              ERROR_SUCCESS); // the user's copy is the one written
    HKEY created = nullptr;
    ASSERT_EQ(registry.CreateKey(shared, "Fresh", &created), ERROR_SUCCESS); // new keys: machine-wide
    EXPECT_TRUE(registry.KeyExists(std::string(kMachine) + "\\Shared\\Fresh"));
    EXPECT_FALSE(registry.KeyExists(std::string(kUser) + "\\Shared\\Fresh"));
    EXPECT_EQ(registry.DeleteKey(shared, "UserOnly"), ERROR_SUCCESS);
    registry.CloseKey(created);
    registry.CloseKey(shared);
    EXPECT_EQ(registry.GetValue(std::string(kUser) + "\\Shared", "who")->data[0], 'n');
    EXPECT_EQ(registry.GetValue(std::string(kMachine) + "\\Shared", "who")->data[0], 'm');
    EXPECT_EQ(registry.DeletedKeys(), std::vector<std::string>{std::string(kUser) + "\\Shared\\UserOnly"});
}

// The finding names the copy the merged view shows: the user's when there is one.
TEST_F(MergedClassesTest, FindingsNameTheHiveThatHoldsTheClass) {
    struct Case {
        const char* name;
        bool userDead;
        bool userWorks;
        bool machineDead;
        bool machineWorks;
        const char* hive; // of both findings; null: none
    };
    const Case cases[] = {
        {"machine only", false, false, true, false, kMachine},
        {"user only", true, false, false, false, kUser},
        {"dead user copy over a working machine copy", true, false, false, true, kUser},
        {"working user copy over a dead machine copy", false, true, true, false, nullptr},
        {"both dead", true, false, true, false, kUser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Class(kUser, c.userDead ? missing : c.userWorks ? present : "");
        Class(kMachine, c.machineDead ? missing : c.machineWorks ? present : "");
        const std::vector<std::string> expected =
            c.hive == nullptr ? std::vector<std::string>{}
                              : std::vector<std::string>{std::string(c.hive) + "\\CLSID\\" + kClass,
                                                         std::string(c.hive) + "\\" + kProgId};
        EXPECT_EQ(Findings(), expected);
    }
}

// ProgID keys are shared by both views, CLSID keys are not: a ProgID stays while the 32-bit registration
// of the same class id still has a server that works or cannot be judged.
TEST_F(MergedClassesTest, AProgIdStaysWhileThe32BitClassServes) {
    struct Case {
        const char* name;
        std::string server32; // "": no 32-bit registration
        bool unreadable;
        bool progIdFound;
    };
    const Case cases[] = {
        {"no 32-bit registration", "", false, true},
        {"32-bit server missing", missing, false, true},
        {"32-bit server present", present, false, false},
        {"32-bit class unreadable", missing, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Class(kMachine, missing);
        Class(kMachine, c.server32, "\\Wow6432Node");
        if (c.unreadable) {
            registry.FailEvery(testsupport::MemoryRegistry::Op::OpenKeyEx, ERROR_ACCESS_DENIED,
                               "HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID\\" +
                                   std::string(kClass));
        }
        const std::vector<std::string> found = Findings();
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.size(), c.progIdFound ? 2u : 1u);
    }
}

TEST(ThirtyTwoBitReading, NamesTheFoldersA32BitProcessReaches) {
    const std::string windows = "C:\\Windows";
    const std::string wow = "C:\\Windows\\SysWOW64";
    const struct {
        const char* text;
        const char* read;
    } cases[] = {
        {"C:\\Windows\\System32\\a.dll", "C:\\Windows\\SysWOW64\\a.dll"},
        {"c:\\windows\\system32\\a.dll", "c:\\windows\\SysWOW64\\a.dll"},
        {"%SystemRoot%\\System32\\a.dll", "%SystemRoot%\\SysWOW64\\a.dll"},
        {"\"%windir%\\system32\\rundll32.exe\" x.dll,Go", "\"%windir%\\SysWOW64\\rundll32.exe\" x.dll,Go"},
        {"%ProgramFiles%\\App\\a.dll", "%ProgramFiles(x86)%\\App\\a.dll"},
        {"%COMMONPROGRAMFILES%\\x\\a.dll", "%CommonProgramFiles(x86)%\\x\\a.dll"},
        {"%ProgramFiles(x86)%\\App\\a.dll", "%ProgramFiles(x86)%\\App\\a.dll"},
        {"C:\\App\\System32\\a.dll", "C:\\App\\System32\\a.dll"},           // not the Windows folder's
        {"C:\\Windows\\System32x\\a.dll", "C:\\Windows\\System32x\\a.dll"}, // not the whole name
        {"C:\\Program Files\\App\\a.dll", "C:\\Program Files\\App\\a.dll"}, // no variable: as written
        {"a.dll", "C:\\Windows\\SysWOW64\\a.dll"},
        {"\"a.dll\"", "\"C:\\Windows\\SysWOW64\\a.dll\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(engine::ThirtyTwoBitReading(c.text, windows, wow), c.read) << c.text;
        EXPECT_EQ(engine::ThirtyTwoBitReading(c.text, windows, ""), c.text) << "no 32-bit side: " << c.text;
    }
}

} // namespace
