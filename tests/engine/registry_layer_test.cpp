// The registry access layer: key paths and roots, recursive key deletion, value deletion, referenced paths.
#include "engine_test_support.h"
#include "support/real_registry.h"

#include <objbase.h>

namespace {

using testsupport::NewClassId;
using testsupport::RealKeyExists;
using Op = testsupport::MemoryRegistry::Op;

// A unique class id in registry form, for keys under HKEY_CLASSES_ROOT\CLSID.
// A key of the real registry that the test creates; removed with everything below it at the end.
class RealTestKey {
public:
    RealTestKey(HKEY root, std::string sub) : m_root(root), m_sub(std::move(sub)) { Create(""); }
    ~RealTestKey() { RegDeleteTreeA(m_root, m_sub.c_str()); }
    void Create(const std::string& below) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(m_root, Path(below).c_str(), &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetString(const std::string& below, const char* name, const std::string& text) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(m_root, Path(below).c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    bool HasValue(const char* name) const {
        HKEY key = nullptr;
        if (RegOpenKeyExA(m_root, m_sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return found;
    }
    std::string Path(const std::string& below = "") const {
        return below.empty() ? m_sub : m_sub + "\\" + below;
    }

private:
    HKEY m_root;
    std::string m_sub;
};

TEST(SeperateMainKey, SplitsAtTheFirstBackslash) {
    std::string path = "HKEY_CLASSES_ROOT\\CLSID";
    EXPECT_EQ(CRegistryLib::SeperateMainKey(path), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(path, "CLSID");
    path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows";
    EXPECT_EQ(CRegistryLib::SeperateMainKey(path), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(path, "SOFTWARE\\Microsoft\\Windows");
    path = "HKEY_USERS";
    EXPECT_EQ(CRegistryLib::SeperateMainKey(path), "HKEY_USERS");
    EXPECT_EQ(path, "");
    path = "";
    EXPECT_EQ(CRegistryLib::SeperateMainKey(path), "");
    EXPECT_EQ(path, "");
    path = "\\lead";
    EXPECT_EQ(CRegistryLib::SeperateMainKey(path), "");
    EXPECT_EQ(path, "lead");
}

TEST(RootNames, AnyCaseMapsAndOtherNamesAreRejectedWithOne) {
    HKEY key = nullptr;
    EXPECT_TRUE(CRegistryLib::MapRootKey("hkey_local_machine", &key));
    EXPECT_EQ(key, HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(CRegistryLib::MapRootKey("HKEY_Local_Machine", &key));
    EXPECT_EQ(key, HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(CRegistryLib::MapRootKey("HKEY_CURRENT_CONFIG", &key));
    EXPECT_EQ(key, HKEY_CURRENT_CONFIG);
    for (const char* bad : {"HKEY_DYN_DATA", "HKLM", "", "HKEY_LOCAL_MACHINE ", "HKEY_PERFORMANCE_DATA"}) {
        EXPECT_FALSE(CRegistryLib::MapRootKey(bad, &key)) << bad;
    }

    CRegistryLib lib;
    HKEY opened = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(lib.OpenKey("HKEY_DYN_DATA", "", &opened), 1);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(lib.OpenKey("HKEY_CURRENT_USER", "Software", nullptr), 1);
    EXPECT_EQ(lib.RegDelKey("HKEY_DYN_DATA", "x"), 1);
    EXPECT_EQ(lib.RegDelKeyValue("hkey_dyn_data", "x", "y"), 1);
}

TEST(OpenKey, OpensRealKeysByPathWithRootInAnyCase) {
    const RealTestKey test(HKEY_CURRENT_USER, "Software\\" + testsupport::UniqueName("open"));
    test.Create("child");
    CRegistryLib lib;
    HKEY key = nullptr;
    ASSERT_EQ(lib.OpenKey("hkey_current_user", test.Path("child"), &key), ERROR_SUCCESS);
    EXPECT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(lib.OpenKey("HKEY_CURRENT_USER", test.Path("absent"), &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
}

TEST(RegDelKey, RealClassKeyWithNestedSubkeysIsDeletedWhole) {
    const std::string cls = NewClassId();
    const RealTestKey test(HKEY_CLASSES_ROOT, "CLSID\\" + cls);
    test.SetString("InprocServer32", "", "C:\\orvalin\\gone.dll");
    test.SetString("InprocServer32", "ThreadingModel", "Both");
    test.Create("Implemented Categories\\{00000000-0000-0000-0000-000000000001}\\deeper\\deepest");
    test.Create("ProgID");
    CRegistryLib lib;
    lib.ForceWindows9x(false);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\" + cls), ERROR_SUCCESS);
    EXPECT_FALSE(RealKeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + cls));
    EXPECT_TRUE(RealKeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\" + cls), ERROR_FILE_NOT_FOUND);
}

TEST(RegDelKey, NtFamilyDeletesDeepestFirstAndNamedKeyLast) {
    testsupport::MemoryRegistry registry;
    const std::string cls = "HKEY_CLASSES_ROOT\\CLSID\\{C}";
    registry.AddKey(cls + "\\A\\A1\\A11");
    registry.AddKey(cls + "\\B");
    registry.AddKey("HKEY_CLASSES_ROOT\\CLSID\\{D}");
    CRegistryLib lib(registry);
    lib.ForceWindows9x(false);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{C}"), ERROR_SUCCESS);
    const std::vector<std::string> order = {cls + "\\A\\A1\\A11", cls + "\\A\\A1", cls + "\\A", cls + "\\B",
                                            cls};
    EXPECT_EQ(registry.DeletedKeys(), order);
    EXPECT_TRUE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{D}"));
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST(RegDelKey, Win9xFamilyLeavesTheSubtreeToOneCall) {
    testsupport::MemoryRegistry registry;
    registry.SetWin9xDelete(true);
    registry.AddKey("HKEY_CLASSES_ROOT\\CLSID\\{C}\\A\\A1");
    CRegistryLib lib(registry);
    lib.ForceWindows9x(true);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{C}"), ERROR_SUCCESS);
    EXPECT_EQ(registry.Calls(Op::DeleteKey), 1);
    EXPECT_FALSE(registry.KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{C}"));
}

TEST(RegDelKey, StopsAtTheFirstFailureAndKeepsWhatIsLeft) {
    testsupport::MemoryRegistry registry;
    const std::string cls = "HKEY_CLASSES_ROOT\\CLSID\\{C}";
    registry.AddKey(cls + "\\A");
    registry.AddKey(cls + "\\B\\B1");
    registry.AddKey(cls + "\\C");
    registry.FailEvery(Op::DeleteKey, ERROR_ACCESS_DENIED, cls + "\\B\\B1");
    CRegistryLib lib(registry);
    lib.ForceWindows9x(false);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{C}"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(registry.KeyExists(cls + "\\A"));
    EXPECT_TRUE(registry.KeyExists(cls + "\\B\\B1"));
    EXPECT_TRUE(registry.KeyExists(cls + "\\C"));
    EXPECT_EQ(registry.OpenHandles(), 0);

    // The key cannot even be opened for deletion: its code comes back.
    registry.ClearFailures();
    registry.FailNext(Op::OpenKeyEx, ERROR_ACCESS_DENIED, cls);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{C}"), ERROR_ACCESS_DENIED);
    // A child name longer than the buffer (255 UTF-16 units in UTF-8) stops the deletion with the
    // enumeration's code.
    registry.AddKey(cls + "\\" + std::string(800, 'n'));
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", "CLSID\\{C}"), ERROR_MORE_DATA);
    EXPECT_TRUE(registry.KeyExists(cls));
}

TEST(RegDelKey, EmptyOrNullSubkeyIsABadKey) {
    testsupport::MemoryRegistry registry;
    CRegistryLib lib(registry);
    EXPECT_EQ(lib.RegDeleteKeyNT(HKEY_CLASSES_ROOT, ""), ERROR_BADKEY);
    EXPECT_EQ(lib.RegDeleteKeyNT(HKEY_CLASSES_ROOT, nullptr), ERROR_BADKEY);
    lib.ForceWindows9x(false);
    EXPECT_EQ(lib.RegDelKey("HKEY_CLASSES_ROOT", ""), ERROR_BADKEY); // never the whole root
    EXPECT_EQ(lib.RegDeleteKeyNT(HKEY_CLASSES_ROOT, "absent"), ERROR_FILE_NOT_FOUND);
}

TEST(RegDelKeyValue, DeletesOneRealValue) {
    const RealTestKey test(HKEY_CURRENT_USER, "Software\\" + testsupport::UniqueName("value"));
    test.SetString("", "victim", "C:\\gone.hlp");
    test.SetString("", "keeper", "x");
    CRegistryLib lib;
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_CURRENT_USER", test.Path(), "victim"), ERROR_SUCCESS);
    EXPECT_FALSE(test.HasValue("victim"));
    EXPECT_TRUE(test.HasValue("keeper"));
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_CURRENT_USER", test.Path(), "victim"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_CURRENT_USER", test.Path("absent"), "keeper"), ERROR_FILE_NOT_FOUND);
}

TEST(RegDelKeyValue, TheDisplayNameDefaultNeverReachesTheUnnamedValue) {
    const RealTestKey test(HKEY_CURRENT_USER, "Software\\" + testsupport::UniqueName("default"));
    test.SetString("", "", "C:\\gone\\");
    CRegistryLib lib;
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_CURRENT_USER", test.Path(), "(Default)"), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(test.HasValue(""));
    // A value literally named "(Default)" is an ordinary value.
    test.SetString("", "(Default)", "literal");
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_CURRENT_USER", test.Path(), "(Default)"), ERROR_SUCCESS);
    EXPECT_FALSE(test.HasValue("(Default)"));
    EXPECT_TRUE(test.HasValue(""));
}

TEST(RegDelKeyValue, AccessDeniedComesBack) {
    testsupport::MemoryRegistry registry;
    registry.SetString("HKEY_LOCAL_MACHINE\\SOFTWARE\\K", "v", "x");
    registry.FailNext(Op::DeleteValue, ERROR_ACCESS_DENIED);
    CRegistryLib lib(registry);
    EXPECT_EQ(lib.RegDelKeyValue("HKEY_LOCAL_MACHINE", "SOFTWARE\\K", "v"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(registry.GetValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\K", "v").has_value());
    EXPECT_EQ(registry.OpenHandles(), 0);
}

} // namespace
