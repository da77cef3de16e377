// AddRegistryValues: every value of a key as a record, on the real registry and with injected failures.
#include "engine_test_support.h"

#include <map>

namespace {

using Op = testsupport::MemoryRegistry::Op;
using Bytes = std::vector<BYTE>;

// A key below HKCU\Software with a unique name, opened for the test and removed at its end.
class RealValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sub = "Software\\" + testsupport::UniqueName("values");
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, sub.c_str(), &key), ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key);
        RegDeleteTreeA(HKEY_CURRENT_USER, sub.c_str());
    }
    void Set(const char* name, DWORD type, const Bytes& data) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    RegValueList Read() {
        RegValueList values;
        EXPECT_EQ(lib.AddRegistryValues(key, values), ERROR_SUCCESS);
        return values;
    }

    std::string sub;
    HKEY key = nullptr;
    CRegistryLib lib;
};

TEST_F(RealValuesTest, KeyWithoutValuesYieldsOneUnsetDefault) {
    const RegValueList values = Read();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0]->m_strName, "(Default)");
    EXPECT_EQ(values[0]->m_strData, "(value not set)");
    EXPECT_EQ(values[0]->m_dwType, DWORD{REG_SZ});
    EXPECT_FALSE(values[0]->m_bHasRaw); // nothing to restore
}

TEST_F(RealValuesTest, EmptyUnnamedStringIsSetButEmpty) {
    Set(nullptr, REG_SZ, {0});
    const RegValueList values = Read();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0]->m_strName, "(Default)");
    EXPECT_EQ(values[0]->m_strData, "");
    EXPECT_TRUE(values[0]->m_bHasRaw);
    EXPECT_EQ(values[0]->m_raw, Bytes{0});
}

TEST_F(RealValuesTest, NamedValuesComeAfterTheInsertedDefault) {
    Set("first", REG_SZ, {'C', ':', '\\', 0});
    Set("count", REG_DWORD, {5, 0, 0, 0});
    Set("list", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    Set("blob", REG_BINARY, {0x00, 0xff});
    const RegValueList values = Read();
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0]->m_strName, "(Default)");
    EXPECT_EQ(values[0]->m_strData, "(value not set)");
    // The enumeration order is the registry's own (Wine sorts by name, Windows keeps creation order).
    std::map<std::string, const CRegValue*> byName;
    for (size_t i = 1; i < values.size(); ++i) {
        byName[values[i]->m_strName] = values[i].get();
    }
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName["first"]->m_strData, "C:\\");
    EXPECT_EQ(byName["count"]->m_strData, "0x00000005 (5)");
    EXPECT_EQ(byName["count"]->m_dwType, DWORD{REG_DWORD});
    EXPECT_EQ(byName["list"]->m_strData, "a\r\nb");
    EXPECT_EQ(byName["list"]->m_raw, (Bytes{'a', 0, 'b', 0, 0}));
    EXPECT_EQ(byName["blob"]->m_strData, "00 ff");
    EXPECT_EQ(byName["blob"]->m_raw, (Bytes{0x00, 0xff}));
}

TEST_F(RealValuesTest, UnnamedValueKeepsItsPlaceAndANumberReadsAsANumber) {
    Set("a", REG_SZ, {'x', 0});
    Set(nullptr, REG_DWORD, {7, 0, 0, 0});
    const RegValueList values = Read();
    ASSERT_EQ(values.size(), 2u);
    int defaults = 0;
    for (const auto& v : values) {
        if (v->m_strName == "(Default)") {
            ++defaults;
            EXPECT_EQ(v->m_strData, "0x00000007 (7)");
            EXPECT_EQ(v->m_raw, (Bytes{7, 0, 0, 0}));
        }
    }
    EXPECT_EQ(defaults, 1);
}

TEST_F(RealValuesTest, RecordsOfASecondKeyAreAppended) {
    Set("a", REG_SZ, {'x', 0});
    RegValueList values;
    values.push_back(std::make_unique<CRegValue>());
    values[0]->m_strName = "(Default)";
    lib.AddRegistryValues(key, values);
    ASSERT_EQ(values.size(), 3u); // this key's own "(Default)" is inserted in front of its own records
    EXPECT_EQ(values[1]->m_strName, "(Default)");
    EXPECT_EQ(values[1]->m_strData, "(value not set)");
    EXPECT_EQ(values[2]->m_strName, "a");
}

class MemoryValuesTest : public ::testing::Test {
protected:
    static constexpr char kPath[] = "HKEY_CURRENT_USER\\Software\\K";
    void SetUp() override {
        registry.SetString(kPath, "a", "1");
        registry.SetString(kPath, "b", "2");
        registry.SetString(kPath, "c", "3");
        ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, "Software\\K", &key), ERROR_SUCCESS);
    }
    void TearDown() override { registry.CloseKey(key); }
    static std::vector<std::string> Names(const RegValueList& values) {
        std::vector<std::string> names;
        for (const auto& v : values) {
            names.push_back(v->m_strName);
        }
        return names;
    }

    testsupport::MemoryRegistry registry;
    CRegistryLib lib{registry};
    HKEY key = nullptr;
};

TEST_F(MemoryValuesTest, FailedQueryGivesOnlyTheDefaultRecordAndItsCode) {
    registry.FailNext(Op::QueryInfoKey, ERROR_ACCESS_DENIED);
    RegValueList values;
    EXPECT_EQ(lib.AddRegistryValues(key, values), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Names(values), std::vector<std::string>{"(Default)"});
}

TEST_F(MemoryValuesTest, ValueThatCannotBeReadIsSkippedAndReported) {
    registry.FailNext(Op::EnumValue, ERROR_ACCESS_DENIED);
    RegValueList values;
    EXPECT_EQ(lib.AddRegistryValues(key, values), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Names(values), (std::vector<std::string>{"(Default)", "b", "c"}));
}

TEST_F(MemoryValuesTest, ValueThatGrewSinceTheQueryIsReadAgain) {
    registry.FailNext(Op::EnumValue, ERROR_MORE_DATA);
    RegValueList values;
    EXPECT_EQ(lib.AddRegistryValues(key, values), ERROR_SUCCESS);
    EXPECT_EQ(Names(values), (std::vector<std::string>{"(Default)", "a", "b", "c"}));
}

TEST_F(MemoryValuesTest, LongNamesAndLargeDataAreReadWhole) {
    const std::string name(5000, 'n');
    registry.SetValue(kPath, name, REG_BINARY, Bytes(70000, 0xab));
    RegValueList values;
    EXPECT_EQ(lib.AddRegistryValues(key, values), ERROR_SUCCESS);
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[4]->m_strName, name);
    EXPECT_EQ(values[4]->m_raw.size(), 70000u);
    EXPECT_EQ(values[4]->m_strData.size(), 70000u * 3 - 1);
}

} // namespace
