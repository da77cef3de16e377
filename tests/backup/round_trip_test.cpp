// Back up, delete and restore a subtree of the test prefix's real registry; it must come back byte for byte.
#include "backup/backup_test_support.h"
#include "backup/test_key.h"
#include "backup/xml_reader.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using backuptest::TestKey;

std::string Raw(const char* bytes, std::size_t size) {
    return std::string(bytes, size);
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

// Every value type and the values whose text form loses data, with names and data that need escaping.
void Seed(const TestKey& key) {
    const char* special = "Amp&Lt<Gt>Quot\"Apos'High\xE9\xFC\x80\x81\xFF";
    struct Value {
        const char* key;
        const char* name;
        DWORD type;
        std::string bytes;
    };
    std::mt19937 random(7);
    std::string big(100 * 1024, '\0');
    for (char& c : big) {
        c = static_cast<char>(random());
    }
    std::string bigText(100 * 1024, 'x');
    bigText.back() = '\0';
    const std::vector<Value> values = {
        {"Types", nullptr, REG_SZ, Raw("default\0", 8)},
        {"Types", "sz", REG_SZ, Raw("plain\0", 6)},
        {"Types", "expand", REG_EXPAND_SZ, Raw("%SystemRoot%\\x\0", 15)},
        {"Types", "binary", REG_BINARY, Raw("\x00\xff\x10", 3)},
        {"Types", "dword", REG_DWORD, Dword(0x80000000u)},
        {"Types", "multi", REG_MULTI_SZ, Raw("a\0b b\0\0", 7)},
        {"Types", "resource list", REG_RESOURCE_LIST, Raw("\x01\x02", 2)},
        {"Types", "requirements", REG_RESOURCE_REQUIREMENTS_LIST, Raw("\x03", 1)},
        {"Types", "qword", REG_QWORD, Raw("\x01\x00\x00\x00\x00\x00\x00\x80", 8)},
        {"Hard", nullptr, REG_DWORD, Dword(42)},
        {"Hard", "none", REG_NONE, Raw("\x01\x00\x02", 3)},
        {"Hard", "none empty", REG_NONE, std::string()},
        {"Hard", "link", REG_LINK, Raw("\\\0R\0e\0g\0", 8)},
        {"Hard", "big endian", REG_DWORD_BIG_ENDIAN, Raw("\x00\x00\x01\x00", 4)},
        {"Hard", "full descriptor", REG_FULL_RESOURCE_DESCRIPTOR, Raw("\x09\x00\x08", 3)},
        {"Hard", "type 12", 12, Raw("twelve", 6)},
        {"Hard", "type 0x1234", 0x1234, Raw("\x00\x01", 2)},
        {"Hard", "embedded nul", REG_SZ, Raw("a\0b\0", 4)},
        {"Hard", "no terminator", REG_SZ, Raw("abc", 3)},
        {"Hard", "empty binary", REG_BINARY, std::string()},
        {"Hard", "empty multi", REG_MULTI_SZ, std::string()},
        {"Hard", "empty sz", REG_SZ, Raw("\0", 1)},
        {"Hard", "short dword", REG_DWORD, Raw("\x01\x02\x03", 3)},
        {"Hard", "long dword", REG_DWORD, Raw("\x01\x02\x03\x04\x05", 5)},
        {"Hard", "short qword", REG_QWORD, Raw("\x01", 1)},
        {"Hard", "(Default)", REG_SZ, Raw("literal name\0", 13)},
        {"Hard", "(DEFAULT)", REG_SZ, Raw("other case\0", 11)},
        {"Hard", "line feed", REG_SZ, Raw("one\ntwo\r\nthree\r\r\n\0", 18)},
        {"Hard", "empty lines", REG_MULTI_SZ, Raw("a\0\0b\0\0", 7)},
        {"Hard", "value not set", REG_SZ, Raw("(value not set)\0", 16)},
        {"Hard", special, REG_SZ, std::string(special) + '\0'},
        {"Hard", "quotes in multi", REG_MULTI_SZ,
         std::string("'\"<>&\0", 6) + special + std::string("\0\0", 2)},
        {"Big", "binary", REG_BINARY, big},
        {"Big", "text", REG_SZ, bigText},
        {"Empty default", nullptr, REG_SZ, std::string()},
        {std::string("Key ").append(special).c_str(), "v", REG_SZ, Raw("1\0", 2)},
    };
    for (const Value& v : values) {
        ASSERT_TRUE(key.Set(v.key, v.name, v.type, v.bytes))
            << v.key << " / " << (v.name ? v.name : "(unnamed)");
    }
    ASSERT_TRUE(key.Set("Line\nFeed key", "v", REG_SZ, Raw("1\0", 2)));
    ASSERT_TRUE(key.Set("Empty key", nullptr, REG_NONE, std::string()));
    std::string deep = "Deep";
    for (int level = 1; level <= 20; ++level) {
        deep += "\\Level" + std::to_string(level);
        ASSERT_TRUE(key.Set(deep, "level", REG_DWORD, Dword(static_cast<DWORD>(level))));
    }
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(key.Set("Thousand", ("value " + std::to_string(i)).c_str(), REG_DWORD,
                            Dword(static_cast<DWORD>(i))));
    }
}

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() : key("roundtrip"), engine(engine::Win32Registry(), boxes) {
        engine.m_bJudgeAgain = false; // the findings are made by hand
        folder = testsupport::MakeTempFolder("roundtrip");
    }

    void FixAndRestore(const backuptest::Snapshot& before) {
        ScanErrorList rows = backuptest::FiveRows();
        engine.FixRegistry(rows, folder + "\\backup.xml");
        ASSERT_FALSE(engine.m_bBackupFailed);
        const backuptest::Snapshot fixed = key.Take();
        ASSERT_NE(fixed, before); // the fix deleted what it backed up
        ASSERT_NE(testsupport::ReadBytes(engine.m_strBackupFile).find(" raw=\""), std::string::npos);

        CXmlReader reader;
        EXPECT_EQ(engine.LoadAsXml(reader, engine.m_strBackupFile), 1);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
        const backuptest::Snapshot after = key.Take();
        EXPECT_EQ(after.size(), before.size());
        for (const auto& [path, lines] : before) {
            const auto found = after.find(path);
            ASSERT_NE(found, after.end()) << path;
            EXPECT_EQ(found->second, lines) << path;
        }
    }

    TestKey key;
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine;
    std::string folder;
};

} // namespace

TEST_F(RoundTrip, AWholeKeyComesBackByteForByte) {
    Seed(key);
    const backuptest::Snapshot before = key.Take();
    ASSERT_GT(before.size(), 25u);
    backuptest::AddKeyFinding(engine, "CLSID", key.FullPath());

    FixAndRestore(before);
}

TEST_F(RoundTrip, EveryValueComesBackByteForByte) {
    Seed(key);
    const backuptest::Snapshot before = key.Take();
    for (const auto& [keyPath, name] :
         backuptest::ValuesBelow("HKEY_CURRENT_USER", HKEY_CURRENT_USER, key.SubPath())) {
        backuptest::AddValueFinding(engine, "Help", keyPath, name);
    }
    ASSERT_GT(engine.m_arrErrorLog.size(), 1000u);

    FixAndRestore(before);
}

TEST_F(RoundTrip, TheFixReallyDeletesWhatItBacksUp) {
    Seed(key);
    backuptest::AddKeyFinding(engine, "CLSID", key.FullPath());
    backuptest::AddValueFinding(engine, "font", key.FullPath() + "\\Types", "sz");
    ScanErrorList rows = backuptest::FiveRows();
    engine.FixRegistry(rows, folder + "\\backup.xml");
    EXPECT_FALSE(key.Exists());
    EXPECT_EQ(backuptest::FixedOf(rows, kDescriptionCLSID), 1);
    EXPECT_EQ(backuptest::FixedOf(rows, kDescriptionFonts), 0); // already gone with its key
}
