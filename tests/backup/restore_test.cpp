// The restore on the in-memory registry: what each kind of file does, and the failure table.
#include "backup/backup_test_support.h"
#include "backup/xml_reader.h"
#include "support/file_bytes.h"
#include "support/memory_registry.h"

#include <gtest/gtest.h>

#include <optional>

using testsupport::MemoryRegistry;

namespace {

constexpr char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry>\r\n";

class Restore : public ::testing::Test {
protected:
    Restore() : engine(registry, boxes) { folder = testsupport::MakeTempFolder("restore"); }

    int Load(const std::string& bytes) {
        const std::string path = folder + "\\b" + std::to_string(++files) + ".xml";
        testsupport::WriteBytes(path, bytes);
        CXmlReader reader;
        return engine.LoadAsXml(reader, path);
    }

    MemoryRegistry registry;
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine;
    std::string folder;
    int files = 0;
};

std::vector<BYTE> Sz(const std::string& text) {
    std::vector<BYTE> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

} // namespace

TEST_F(Restore, AnEmptyBackupRestoresNothingAndSucceeds) {
    EXPECT_EQ(Load(std::string(kHead) + " </registry>\r\n"), 1);
    EXPECT_EQ(Load(""), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(registry.Calls(MemoryRegistry::Op::SetValueEx), 0);
}

TEST_F(Restore, RecreatesDeletedKeysLevelByLevelAndSetsTheirValues) {
    EXPECT_EQ(Load(std::string(kHead) +
                   "  <k name=\"HKEY_CLASSES_ROOT\">\r\n"
                   "   <k name=\"CLSID\">\r\n"
                   "    <k name=\"{G}\">\r\n"
                   "     <v name=\"(Default)\" value=\"X\"/>\r\n"
                   "     <k name=\"Empty\"/>\r\n"
                   "     <k name=\"InprocServer32\">\r\n"
                   "      <v name=\"(default)\" value=\"C:\\a.dll\"/>\r\n"
                   "      <v name=\"Flags\" value=\"0x00000001 (1)\" type=\"REG_DWORD\"/>\r\n"
                   "      <v name=\"Be\" value=\"0x00000100 (256)\" type=\"REG_DWORD\"/>\r\n"
                   "      <v name=\"Odd\" value=\"text\" type=\"REG_WHATEVER\"/>\r\n"
                   "      <v name=\"Q&amp;&lt;&quot;\xC3\xA9\" value=\"a &amp; b\"/>\r\n"
                   "     </k>\r\n"
                   "    </k>\r\n"
                   "   </k>\r\n"
                   "  </k>\r\n"
                   " </registry>\r\n"),
              1);
    const std::string key = "HKEY_CLASSES_ROOT\\CLSID\\{G}";
    EXPECT_EQ(registry.GetValue(key, "")->data, Sz("X"));
    EXPECT_TRUE(registry.KeyExists(key + "\\Empty"));
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "")->data, Sz("C:\\a.dll"));
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "Flags")->type, DWORD{REG_DWORD});
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "Be")->data, (std::vector<BYTE>{0, 1, 0, 0}));
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "Odd")->type, DWORD{REG_SZ});
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "Q&<\"\xE9")->data, Sz("a & b"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(Restore, NamesInCapitalsAreAcceptedAndAStrayValueEndIsIgnored) {
    EXPECT_EQ(Load("<REGISTRY>\r\n"
                   "<V NAME=\"lost\" VALUE=\"1\"/>\r\n"
                   "<K NAME=\"HKEY_CURRENT_USER\"><K Name=\"T\">\r\n"
                   "<V NAME=\"a\" VALUE=\"0a 0b\" TYPE=\"reg_binary\"/>\r\n"
                   "</K></K></REGISTRY>\r\n"),
              1);
    EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\T", "a")->data, (std::vector<BYTE>{0x0a, 0x0b}));
    EXPECT_FALSE(registry.GetValue("HKEY_CURRENT_USER\\T", "lost").has_value());
    EXPECT_FALSE(registry.GetValue("HKEY_CURRENT_USER", "lost").has_value());
}

TEST_F(Restore, AttributeOrderDecidesWhatAValueKeeps) {
    // "type" before "value" is dropped by the value; "name" drops both, leaving an empty string.
    EXPECT_EQ(Load("<k name=\"HKEY_CURRENT_USER\"><k name=\"O\">\r\n"
                   "<v name=\"a\" type=\"REG_DWORD\" value=\"0x00000001 (1)\"/>\r\n"
                   "<v value=\"lost\" type=\"REG_DWORD\" name=\"b\"/>\r\n"
                   "</k></k>\r\n"),
              1);
    EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\O", "a")->type, DWORD{REG_SZ});
    EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\O", "b")->data, Sz(""));
    EXPECT_TRUE(boxes.shown.empty());
}

// Situation by situation: the result and the messages.
TEST_F(Restore, FailureTable) {
    {
        SCOPED_TRACE("file cannot be opened: a failure, not an empty success");
        CXmlReader reader;
        EXPECT_EQ(engine.LoadAsXml(reader, folder + "\\missing.xml"), 0);
        EXPECT_TRUE(boxes.shown.empty());
    }
    {
        SCOPED_TRACE("parse error: shown, restoring stops, what came before stays");
        EXPECT_EQ(Load("<k name=\"HKEY_CURRENT_USER\"><k name=\"P\"><v name=\"before\" value=\"1\"/>\r\n"
                       "<v name=\"after\" <\r\n"),
                  0);
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Parse error in line 2 : (Bad '<' symbol)"}));
        EXPECT_EQ(boxes.shown[0].caption, "Orvalin");
        EXPECT_EQ(boxes.shown[0].type, UINT{MB_OK});
        EXPECT_TRUE(registry.GetValue("HKEY_CURRENT_USER\\P", "before").has_value());
        boxes.shown.clear();
    }
    {
        SCOPED_TRACE("root name outside the table: stops without a message");
        EXPECT_EQ(Load("<k name=\"HKEY_DYN_DATA\"><k name=\"X\"><v name=\"a\" value=\"1\"/></k></k>\r\n"
                       "<k name=\"HKEY_CURRENT_USER\"><k name=\"NotReached\"/></k>\r\n"),
                  0);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_FALSE(registry.KeyExists("HKEY_CURRENT_USER\\NotReached"));
    }
    {
        SCOPED_TRACE("key cannot be created: message, its subtree is passed over, the next entry restored");
        registry.FailNext(MemoryRegistry::Op::CreateKey, ERROR_ACCESS_DENIED);
        EXPECT_EQ(
            Load("<k name=\"HKEY_LOCAL_MACHINE\"><k name=\"New\"><k name=\"Deeper\">\r\n"
                 "<v name=\"a\" value=\"1\"/></k></k></k>\r\n"
                 "<k name=\"HKEY_LOCAL_MACHINE\"><k name=\"Next\"><v name=\"b\" value=\"2\"/></k></k>\r\n"),
            0);
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"couldn't create key HKEY_LOCAL_MACHINE\\New"}));
        EXPECT_FALSE(registry.KeyExists("HKEY_LOCAL_MACHINE\\New"));
        EXPECT_TRUE(registry.GetValue("HKEY_LOCAL_MACHINE\\Next", "b").has_value());
        boxes.shown.clear();
    }
    {
        SCOPED_TRACE("value cannot be set or converted: message, goes on, the restore failed");
        registry.FailNext(MemoryRegistry::Op::SetValueEx, ERROR_ACCESS_DENIED);
        EXPECT_EQ(Load("<k name=\"HKEY_CURRENT_USER\"><k name=\"S\">\r\n"
                       "<v name=\"(Default)\" value=\"refused\"/>\r\n"
                       "<v name=\"bad\" value=\"\" raw=\"xyz\" rawtype=\"3\"/>\r\n"
                       "<v name=\"good\" value=\"1\"/>\r\n"
                       "</k></k>\r\n"),
                  0);
        EXPECT_EQ(boxes.Texts(),
                  (std::vector<std::string>{"couldn't set value (Default)", "couldn't set value bad"}));
        EXPECT_TRUE(registry.GetValue("HKEY_CURRENT_USER\\S", "good").has_value());
        EXPECT_EQ(engine.m_lastRestore.failures, 2);
    }
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(Restore, AFileCutShortRestoresEveryWholeEntryItHolds) {
    const std::string full = std::string(kHead) +
                             "  <k name=\"HKEY_CURRENT_USER\">\r\n"
                             "   <k name=\"Cut\">\r\n"
                             "    <v name=\"one\" value=\"1\"/>\r\n"
                             "    <v name=\"two\" value=\"multi\r\nline\" type=\"REG_MULTI_SZ\"/>\r\n"
                             "   </k>\r\n"
                             "  </k>\r\n"
                             " </registry>\r\n";
    const std::size_t two = full.find("<v name=\"two\"");
    engine.m_overwrite = OverwritePolicy::Replace; // "one" is set back each time
    // Anywhere inside the second value, the first is restored and the second is not.
    for (std::size_t cut = two; cut < full.find("/>", two) + 1; ++cut) {
        registry.SetString("HKEY_CURRENT_USER\\Cut", "one", "old");
        EXPECT_EQ(Load(full.substr(0, cut)), 1) << cut;
        EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\Cut", "one")->data, Sz("1")) << cut;
        EXPECT_FALSE(registry.GetValue("HKEY_CURRENT_USER\\Cut", "two").has_value()) << cut;
    }
    EXPECT_EQ(Load(full), 1);
    EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\Cut", "two")->data,
              (std::vector<BYTE>{'m', 'u', 'l', 't', 'i', 0, 'l', 'i', 'n', 'e', 0, 0}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(Restore, RawAttributesGiveTheExactBytesBack) {
    EXPECT_EQ(
        Load(
            "<k rawname=\"410a42\" name=\"A\r\nB\"><k name=\"ignored\"/></k>\r\n"
            "<k name=\"HKEY_CURRENT_USER\"><k rawname=\"4c0a46\" name=\"L\r\nF\">\r\n"
            "<v name=\"(DEFAULT)\" value=\"(value not set)\" type=\"REG_BINARY\" raw=\"\" rawtype=\"3\"/>\r\n"
            "<v name=\"(Default)\" value=\"x\" rawname=\"2844656661756c7429\"/>\r\n"
            "<v name=\"be\" value=\"0x00000100 (256)\" type=\"REG_DWORD\" raw=\"00000100\" "
            "rawtype=\"5\"/>\r\n"
            "</k></k>\r\n"),
        0); // the first chain has a root name outside the table
    EXPECT_EQ(
        Load(
            "<k name=\"HKEY_CURRENT_USER\"><k rawname=\"4c0a46\" name=\"L\r\nF\">\r\n"
            "<v name=\"(DEFAULT)\" value=\"(value not set)\" type=\"REG_BINARY\" raw=\"\" rawtype=\"3\"/>\r\n"
            "<v name=\"(Default)\" value=\"x\" rawname=\"2844656661756c7429\"/>\r\n"
            "<v name=\"be\" value=\"0x00000100 (256)\" type=\"REG_DWORD\" raw=\"00000100\" "
            "rawtype=\"5\"/>\r\n"
            "</k></k>\r\n"),
        1);
    const std::string key = "HKEY_CURRENT_USER\\L\nF";
    ASSERT_TRUE(registry.KeyExists(key));
    const auto unnamed = registry.GetValue(key, "");
    ASSERT_TRUE(unnamed.has_value());
    EXPECT_EQ(unnamed->type, DWORD{REG_BINARY});
    EXPECT_TRUE(unnamed->data.empty());
    EXPECT_EQ(registry.GetValue(key, "(Default)")->data, Sz("x"));
    EXPECT_EQ(registry.GetValue(key, "be")->type, DWORD{REG_DWORD_BIG_ENDIAN});
    EXPECT_TRUE(boxes.shown.empty());
}

// A restore refused many times: twenty boxes, then one that counts and names the rest; every entry is
// still tried, and the restore is a failure.
TEST_F(Restore, PastTwentyFailuresTheRestAreNamedTogetherAndTheRestoreGoesOn) {
    std::string file = kHead;
    for (int i = 0; i < 25; ++i) {
        file += "<k name=\"HKEY_CURRENT_USER\"><k name=\"Denied\"><v name=\"v" + std::to_string(i) +
                "\" value=\"1\"/></k></k>\r\n";
    }
    file += "<k name=\"HKEY_CURRENT_USER\"><k name=\"Open\"><v name=\"last\" value=\"1\"/></k></k>\r\n";
    registry.AddKey("HKEY_CURRENT_USER\\Denied");
    registry.FailEvery(MemoryRegistry::Op::SetValueEx, ERROR_ACCESS_DENIED, "HKEY_CURRENT_USER\\Denied");

    EXPECT_EQ(Load(file), 0);
    const std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 21u);
    EXPECT_EQ(texts[19], "couldn't set value v19");
    EXPECT_EQ(texts[20], "5 more failures:\ncouldn't set value v20\ncouldn't set value v21\n"
                         "couldn't set value v22\ncouldn't set value v23\ncouldn't set value v24");
    EXPECT_EQ(engine.m_lastRestore.failures, 25);
    EXPECT_TRUE(registry.GetValue("HKEY_CURRENT_USER\\Open", "last").has_value());
    EXPECT_EQ(registry.OpenHandles(), 0);
}

// A value that exists with other data is replaced only when the restore is told to; the dry reading
// finds the same values first.
TEST_F(Restore, AValueThatDiffersIsKeptUnlessReplacingWasChosen) {
    const std::string file = std::string(kHead) +
                             "<k name=\"HKEY_CURRENT_USER\"><k name=\"Fonts\">"
                             "<v name=\"a\" value=\"backup\"/><v name=\"(Default)\" value=\"backup\"/>"
                             "</k></k>\r\n";
    const struct {
        const char* name;
        std::optional<std::string> current; // the value before the restore; none: missing
        OverwritePolicy policy;
        std::string after;
        std::size_t differing;
    } cases[] = {
        {"missing comes back", std::nullopt, OverwritePolicy::Skip, "backup", 0},
        {"same data is left alone", "backup", OverwritePolicy::Skip, "backup", 0},
        {"other data is kept", "mine", OverwritePolicy::Skip, "mine", 2},
        {"other data is replaced when chosen", "mine", OverwritePolicy::Replace, "backup", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry.DeleteKey(HKEY_CURRENT_USER, "Fonts");
        registry.AddKey("HKEY_CURRENT_USER\\Fonts");
        if (c.current) {
            registry.SetString("HKEY_CURRENT_USER\\Fonts", "a", *c.current);
            registry.SetString("HKEY_CURRENT_USER\\Fonts", "", *c.current);
        }
        const std::string path = folder + "\\differs.xml";
        testsupport::WriteBytes(path, file);
        EXPECT_EQ(engine.DifferingValues(path).size(), c.differing);
        engine.m_overwrite = c.policy;
        CXmlReader reader;
        EXPECT_EQ(engine.LoadAsXml(reader, path), 1);
        EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\Fonts", "a")->data, Sz(c.after));
        EXPECT_EQ(registry.GetValue("HKEY_CURRENT_USER\\Fonts", "")->data, Sz(c.after));
        EXPECT_EQ(engine.m_lastRestore.differing.size(), c.differing);
        if (c.differing > 0) {
            EXPECT_EQ(engine.m_lastRestore.differing[0], "HKEY_CURRENT_USER\\Fonts\\a");
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(registry.OpenHandles(), 0);
}
