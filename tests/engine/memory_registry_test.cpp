// The in-memory registry answers as the real one does: the same scenario runs against both.
#include "engine_test_support.h"

#include <cstring>

namespace {

using Op = testsupport::MemoryRegistry::Op;

LONG SetString(engine::RegistryApi& api, HKEY key, const char* name, const std::string& text) {
    return api.SetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

void RunContract(engine::RegistryApi& api, HKEY base) {
    HKEY key = nullptr;
    ASSERT_EQ(api.CreateKey(base, "Sub\\Deeper", &key), ERROR_SUCCESS);
    EXPECT_EQ(api.CloseKey(key), ERROR_SUCCESS);

    // An empty subkey: RegOpenKeyA hands back the very same handle, RegOpenKeyExA a new one.
    HKEY same = nullptr;
    EXPECT_EQ(api.OpenKey(base, "", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, base);
    HKEY other = nullptr;
    EXPECT_EQ(api.OpenKeyEx(base, "", 0, KEY_READ, &other), ERROR_SUCCESS);
    EXPECT_NE(other, base);

    // Lengths without the NUL; data length in bytes.
    const std::string name29(29, 'v');
    ASSERT_EQ(api.SetValueEx(base, name29.c_str(), REG_BINARY, std::vector<BYTE>(1000, 1).data(), 1000),
              ERROR_SUCCESS);
    ASSERT_EQ(SetString(api, base, "", "default"), ERROR_SUCCESS);
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(api.QueryInfoKey(base, &subKeys, &maxSubKey, &values, &maxName, &maxData), ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(maxSubKey, 3u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxName, 29u);
    EXPECT_EQ(maxData, 1000u);

    char name[64];
    DWORD length = 3;
    EXPECT_EQ(api.EnumKeyEx(base, 0, name, &length), ERROR_MORE_DATA);
    length = 4;
    EXPECT_EQ(api.EnumKeyEx(base, 0, name, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, 3u);
    EXPECT_STREQ(name, "Sub");
    length = sizeof name;
    EXPECT_EQ(api.EnumKeyEx(base, 1, name, &length), ERROR_NO_MORE_ITEMS);

    // Values: a data buffer too small gives ERROR_MORE_DATA; the unnamed value has the empty name.
    bool sawDefault = false;
    for (DWORD i = 0; i < 2; ++i) {
        BYTE data[1000];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = 4;
        const LONG small = api.EnumValue(base, i, name, &nameLength, &type, data, &size);
        EXPECT_EQ(small, ERROR_MORE_DATA) << i;
        nameLength = sizeof name;
        size = sizeof data;
        ASSERT_EQ(api.EnumValue(base, i, name, &nameLength, &type, data, &size), ERROR_SUCCESS);
        if (nameLength == 0) {
            sawDefault = true;
            EXPECT_EQ(type, DWORD{REG_SZ});
            EXPECT_EQ(size, 8u);
            EXPECT_STREQ(reinterpret_cast<char*>(data), "default");
        } else {
            EXPECT_EQ(nameLength, 29u);
            EXPECT_EQ(size, 1000u);
        }
    }
    EXPECT_TRUE(sawDefault);
    DWORD nameLength = sizeof name;
    DWORD size = 0;
    EXPECT_EQ(api.EnumValue(base, 2, name, &nameLength, nullptr, nullptr, &size), ERROR_NO_MORE_ITEMS);
    DWORD type = 0;
    size = 0;
    EXPECT_EQ(api.QueryValueEx(base, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(api.QueryValueEx(base, "absent", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // A read-only handle cannot change values.
    EXPECT_EQ(SetString(api, other, "x", "y"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(api.DeleteValue(other, name29.c_str()), ERROR_ACCESS_DENIED);
    EXPECT_EQ(api.CloseKey(other), ERROR_SUCCESS);

    // Deleting: not a key with subkeys, not twice; values likewise.
    EXPECT_EQ(api.DeleteKey(base, "Sub"), ERROR_ACCESS_DENIED);
    HKEY deeper = nullptr;
    ASSERT_EQ(api.OpenKey(base, "Sub\\Deeper", &deeper), ERROR_SUCCESS);
    EXPECT_EQ(api.DeleteKey(base, "Sub\\Deeper"), ERROR_SUCCESS);
    EXPECT_EQ(api.DeleteKey(base, "Sub\\Deeper"), ERROR_FILE_NOT_FOUND);
    length = sizeof name;
    EXPECT_EQ(api.EnumKeyEx(deeper, 0, name, &length), ERROR_KEY_DELETED);
    EXPECT_EQ(api.CloseKey(deeper), ERROR_SUCCESS);
    EXPECT_EQ(api.DeleteKey(base, "Sub"), ERROR_SUCCESS);
    EXPECT_EQ(api.DeleteValue(base, "absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(api.DeleteValue(base, ""), ERROR_SUCCESS);
    EXPECT_EQ(api.OpenKey(base, "Sub", &key), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryContract, RealRegistry) {
    const std::string sub = "Software\\" + testsupport::UniqueName("contract");
    HKEY base = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, sub.c_str(), &base), ERROR_SUCCESS);
    RunContract(engine::Win32Registry(), base);
    RegCloseKey(base);
    RegDeleteTreeA(HKEY_CURRENT_USER, sub.c_str());
}

TEST(RegistryContract, MemoryRegistry) {
    testsupport::MemoryRegistry registry;
    HKEY base = nullptr;
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, "Software\\Contract", &base), ERROR_SUCCESS);
    RunContract(registry, base);
    registry.CloseKey(base);
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST(MemoryRegistry, FailuresHitTheNamedOperationAndKeyOnly) {
    testsupport::MemoryRegistry registry;
    registry.AddKey("HKEY_LOCAL_MACHINE\\A");
    registry.AddKey("HKEY_LOCAL_MACHINE\\B");
    registry.FailNext(Op::OpenKey, ERROR_ACCESS_DENIED, "hkey_local_machine\\b");
    HKEY key = nullptr;
    EXPECT_EQ(registry.OpenKey(HKEY_LOCAL_MACHINE, "A", &key), ERROR_SUCCESS);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKeyEx(HKEY_LOCAL_MACHINE, "B", 0, KEY_READ, &key), ERROR_SUCCESS);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKey(HKEY_LOCAL_MACHINE, "B", &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(registry.OpenKey(HKEY_LOCAL_MACHINE, "B", &key), ERROR_SUCCESS); // only the next one
    registry.CloseKey(key);

    registry.FailEvery(Op::QueryInfoKey, 1234);
    DWORD count = 0;
    EXPECT_EQ(registry.QueryInfoKey(HKEY_LOCAL_MACHINE, &count, nullptr, nullptr, nullptr, nullptr), 1234);
    EXPECT_EQ(registry.QueryInfoKey(HKEY_LOCAL_MACHINE, &count, nullptr, nullptr, nullptr, nullptr), 1234);
    registry.ClearFailures();
    EXPECT_EQ(registry.QueryInfoKey(HKEY_LOCAL_MACHINE, &count, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(registry.Calls(Op::QueryInfoKey), 3);
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST(MemoryRegistry, Win9xDeleteRemovesSubtrees) {
    testsupport::MemoryRegistry registry;
    registry.AddKey("HKEY_CURRENT_USER\\T\\a\\b");
    EXPECT_EQ(registry.DeleteKey(HKEY_CURRENT_USER, "T"), ERROR_ACCESS_DENIED);
    registry.SetWin9xDelete(true);
    EXPECT_EQ(registry.DeleteKey(HKEY_CURRENT_USER, "T"), ERROR_SUCCESS);
    EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\T"));
    EXPECT_EQ(registry.DeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED); // never a root
}

} // namespace
