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

// Both views' classes are judged; ProgID keys are shared by both, CLSID keys are not: a ProgID follows a dead
// class only while the other view's registration of the same class id has no server that works or cannot be
// judged. The user's 32-bit copy of a class hides the machine's, as the merged view does.
TEST_F(MergedClassesTest, BothViewsAreJudgedAndAProgIdStaysWhileTheOtherViewServes) {
    const std::string m64 = std::string(kMachine) + "\\CLSID\\" + kClass;
    const std::string m32 = std::string(kMachine) + "\\Wow6432Node\\CLSID\\" + kClass;
    const std::string u32 = std::string(kUser) + "\\Wow6432Node\\CLSID\\" + kClass;
    const std::string mProg = std::string(kMachine) + "\\" + kProgId;
    const std::string uProg = std::string(kUser) + "\\" + kProgId;
    struct Case {
        const char* name;
        std::string server64, server32, user32; // "": no registration there
        bool unreadable32;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {"no 32-bit registration", missing, "", "", false, {m64, mProg}},
        {"both views dead", missing, missing, "", false, {m64, mProg, m32, mProg}},
        {"32-bit server present", missing, present, "", false, {m64}},
        {"64-bit server present", present, missing, "", false, {m32}},
        {"32-bit only", "", missing, "", false, {m32, mProg}},
        {"32-bit class unreadable", missing, missing, "", true, {m64}},
        {"user's 32-bit copy hides the machine's", "", missing, present, false, {}},
        {"user's 32-bit copy dead", "", present, missing, false, {u32, uProg}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Class(kMachine, c.server64);
        Class(kMachine, c.server32, "\\Wow6432Node");
        Class(kUser, c.user32, "\\Wow6432Node");
        if (c.unreadable32) {
            for (const auto op :
                 {testsupport::MemoryRegistry::Op::OpenKey, testsupport::MemoryRegistry::Op::OpenKeyEx}) {
                registry.FailEvery(op, ERROR_ACCESS_DENIED, m32);
            }
        }
        EXPECT_EQ(Findings(), c.found);
        bool classBroken = false;
        for (const auto& finding : lib.m_arrErrorLog) {
            EXPECT_TRUE(lib.StillBroken(*finding, &classBroken)) << finding->GetKeyPath();
        }
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
