// The backup entry of a finding, on the in-memory registry.
#include "backup/backup_test_support.h"
#include "backup/xml_writer.h"
#include "support/file_bytes.h"
#include "support/memory_registry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using testsupport::MemoryRegistry;

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

class BackupFile : public ::testing::Test {
protected:
    BackupFile() : engine(registry, boxes) { path = testsupport::MakeTempFolder("backupfile") + "\\b.xml"; }

    // The entries of the given findings inside the root element, as FixRegistry frames them.
    std::string Write(const std::vector<std::pair<std::string, const CRegValue*>>& entries,
                      std::vector<int>* results = nullptr) {
        CXmlWriter writer;
        writer.SetFileName(path);
        writer.WriteStartTag(CXmlElement("registry"), 1);
        for (const auto& [keyPath, value] : entries) {
            const int result = engine.SaveAsXml(writer, keyPath, value);
            if (results) {
                results->push_back(result);
            }
        }
        writer.WriteEndTag("registry", -1);
        writer.Close();
        return testsupport::ReadBytes(path);
    }

    MemoryRegistry registry;
    backuptest::RecordingBoxes boxes;
    CRegistryLib engine;
    std::string path;
};

CRegValue Record(const std::string& name, const std::string& text = "x") {
    CRegValue v;
    v.m_strName = name;
    v.m_strData = text;
    return v;
}

} // namespace

TEST_F(BackupFile, AKeyFindingGivesTheDocumentedExampleByteForByte) {
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{G}", "", "X");
    registry.SetString("HKEY_CLASSES_ROOT\\CLSID\\{G}\\InprocServer32", "", "C:\\a.dll");
    registry.SetDword("HKEY_CLASSES_ROOT\\CLSID\\{G}\\InprocServer32", "Flags", 1);
    std::vector<int> results;
    EXPECT_EQ(Write({{"HKEY_CLASSES_ROOT\\CLSID\\{G}", nullptr}}, &results), backuptest::kDocumentedExample);
    EXPECT_EQ(results, (std::vector<int>{1}));
    EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(BackupFile, AValueFindingWritesThatValueAndTheSubtreesOfTheKeysSubkeys) {
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\help";
    registry.SetString(key, "foo.hlp", "C:\\gone");
    registry.SetString(key, "other.hlp", "C:\\kept");
    registry.AddKey(key + "\\Empty");
    registry.SetString(key + "\\Sub", "s", "1");
    const CRegValue record = Record("foo.hlp", "stale text from the scan");
    EXPECT_EQ(Write({{key, &record}}), std::string(kDeclaration) +
                                           " <registry>\r\n"
                                           "  <k name=\"HKEY_LOCAL_MACHINE\">\r\n"
                                           "   <k name=\"SOFTWARE\">\r\n"
                                           "    <k name=\"Microsoft\">\r\n"
                                           "     <k name=\"Windows\">\r\n"
                                           "      <k name=\"help\">\r\n"
                                           "       <v name=\"foo.hlp\" value=\"C:\\gone\"/>\r\n"
                                           "       <k name=\"Empty\"/>\r\n"
                                           "       <k name=\"Sub\">\r\n"
                                           "        <v name=\"s\" value=\"1\"/>\r\n"
                                           "       </k>\r\n"
                                           "      </k>\r\n"
                                           "     </k>\r\n"
                                           "    </k>\r\n"
                                           "   </k>\r\n"
                                           "  </k>\r\n"
                                           " </registry>\r\n");
}

TEST_F(BackupFile, AnUnsetDefaultValueOrAGoneValueWritesOnlyTheChain) {
    registry.AddKey("HKEY_CURRENT_USER\\A");
    const CRegValue unset = Record("(Default)", "(value not set)");
    const CRegValue gone = Record("gone");
    std::vector<int> results;
    EXPECT_EQ(Write({{"HKEY_CURRENT_USER\\A", &unset}, {"HKEY_CURRENT_USER\\A", &gone}}, &results),
              std::string(kDeclaration) + " <registry>\r\n"
                                          "  <k name=\"HKEY_CURRENT_USER\">\r\n"
                                          "   <k name=\"A\">\r\n"
                                          "   </k>\r\n"
                                          "  </k>\r\n"
                                          "  <k name=\"HKEY_CURRENT_USER\">\r\n"
                                          "   <k name=\"A\">\r\n"
                                          "   </k>\r\n"
                                          "  </k>\r\n"
                                          " </registry>\r\n");
    EXPECT_EQ(results, (std::vector<int>{1, 1}));
}

TEST_F(BackupFile, TextsAreEscapedAndUtf8AndARootAloneIsOneElement) {
    registry.SetString("HKEY_CURRENT_CONFIG", "q", "a&b<c\"d\xE9");
    const CRegValue record = Record("q");
    const std::string bytes = Write({{"HKEY_CURRENT_CONFIG", &record}});
    EXPECT_NE(bytes.find("  <k name=\"HKEY_CURRENT_CONFIG\">\r\n"
                         "   <v name=\"q\" value=\"a&amp;b&lt;c&quot;d\xC3\xA9\"/>\r\n"
                         "  </k>\r\n"),
              std::string::npos)
        << bytes;
}

TEST_F(BackupFile, NothingIsWrittenForAKeyThatCannotBeOpened) {
    std::vector<int> results;
    EXPECT_EQ(Write({{"HKEY_CURRENT_USER\\Missing", nullptr}, {"HKEY_NOWHERE\\X", nullptr}, {"", nullptr}},
                    &results),
              std::string(kDeclaration) + " <registry>\r\n </registry>\r\n");
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0}));
}

TEST_F(BackupFile, AnUnreadablePartMakesTheEntryIncompleteButKeepsTheFileWellNested) {
    registry.SetString("HKEY_CURRENT_USER\\Top\\Mid\\Deep", "d", "1");
    registry.SetString("HKEY_CURRENT_USER\\Top\\Mid", "m", "1");
    registry.SetString("HKEY_CURRENT_USER\\Top\\Other", "o", "1");

    const std::vector<std::pair<MemoryRegistry::Op, std::string>> failures = {
        {MemoryRegistry::Op::QueryInfoKey, "HKEY_CURRENT_USER\\Top\\Mid\\Deep"},
        {MemoryRegistry::Op::OpenKeyEx, "HKEY_CURRENT_USER\\Top\\Mid\\Deep"},
        {MemoryRegistry::Op::EnumValue, "HKEY_CURRENT_USER\\Top\\Mid"},
        {MemoryRegistry::Op::EnumKeyEx, "HKEY_CURRENT_USER\\Top"},
    };
    for (const auto& [op, where] : failures) {
        registry.ClearFailures();
        registry.FailEvery(op, ERROR_ACCESS_DENIED, where);
        std::vector<int> results;
        const std::string bytes = Write({{"HKEY_CURRENT_USER\\Top", nullptr}}, &results);
        EXPECT_EQ(results, (std::vector<int>{0})) << where;
        // Every start tag has its end tag: the text ends with the chain's closing lines.
        EXPECT_NE(bytes.find("   </k>\r\n  </k>\r\n </registry>\r\n"), std::string::npos) << bytes;
        std::size_t starts = 0;
        std::size_t ends = 0;
        for (std::size_t p = bytes.find("<k "); p != std::string::npos; p = bytes.find("<k ", p + 1)) {
            ++starts;
        }
        for (std::size_t p = bytes.find("</k>"); p != std::string::npos; p = bytes.find("</k>", p + 1)) {
            ++ends;
        }
        std::size_t empties = 0;
        for (std::size_t p = bytes.find("\"/>"); p != std::string::npos; p = bytes.find("\"/>", p + 1)) {
            empties += bytes.compare(bytes.rfind('<', p), 3, "<k ") == 0;
        }
        EXPECT_EQ(starts - empties, ends) << bytes;
        EXPECT_EQ(registry.OpenHandles(), 0);
    }
}

TEST_F(BackupFile, ValuesWhoseTextLosesDataCarryTheirBytes) {
    registry.SetValue("HKEY_CURRENT_USER\\V", "be", REG_DWORD_BIG_ENDIAN, {0, 0, 1, 0});
    registry.SetValue("HKEY_CURRENT_USER\\V", "", REG_BINARY, {});
    const std::string bytes = Write({{"HKEY_CURRENT_USER\\V", nullptr}});
    EXPECT_NE(
        bytes.find(
            "<v name=\"be\" value=\"0x00000100 (256)\" type=\"REG_DWORD\" raw=\"00000100\" rawtype=\"5\"/>"),
        std::string::npos)
        << bytes;
    EXPECT_NE(
        bytes.find(
            "<v name=\"(Default)\" value=\"(value not set)\" type=\"REG_BINARY\" raw=\"\" rawtype=\"3\"/>"),
        std::string::npos)
        << bytes;
}
