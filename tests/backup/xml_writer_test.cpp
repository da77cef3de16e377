#include "backup/xml_writer.h"

#include "backup/backup_test_support.h"
#include "support/file_bytes.h"
#include "support/test_paths.h"

#include <windows.h>
#include <gtest/gtest.h>

using testsupport::FileExists;
using testsupport::ReadBytes;

namespace {

CXmlElement Named(const std::string& element, const std::string& name) {
    CXmlElement e(element);
    e.AddAttribute("name", name);
    return e;
}

CXmlElement Value(const std::string& name, const std::string& value,
                  const std::string& type = std::string()) {
    CXmlElement v = Named("v", name);
    v.AddAttribute("value", value);
    if (!type.empty()) {
        v.AddAttribute("type", type);
    }
    return v;
}

} // namespace

TEST(XmlWriter, WritesTheBackupExampleByteForByte) {
    const std::string path = testsupport::MakeTempFolder("writer") + "\\example.xml";
    CXmlWriter writer;
    writer.SetFileName(path);
    writer.WriteStartTag(CXmlElement("registry"), 1);
    writer.WriteStartTag(Named("k", "HKEY_CLASSES_ROOT"), 1);
    writer.WriteStartTag(Named("k", "CLSID"), 1);
    writer.WriteStartTag(Named("k", "{G}"), 1);
    writer.WriteEmptyTag(Value("(Default)", "X"), 1);
    writer.WriteStartTag(Named("k", "InprocServer32"), 1);
    writer.WriteEmptyTag(Value("(Default)", "C:\\a.dll"), 1);
    writer.WriteEmptyTag(Value("Flags", "0x00000001 (1)", "REG_DWORD"), 1);
    for (int i = 0; i < 4; ++i) {
        writer.WriteEndTag("k", -1);
    }
    writer.WriteEndTag("registry", -1);
    EXPECT_EQ(writer.GetLevel(), 0);
    writer.Close();

    EXPECT_EQ(ReadBytes(path), backuptest::kDocumentedExample);
}

TEST(XmlWriter, CreatesNoFileUntilTheFirstWriteAndEveryFileStartsWithTheDeclaration) {
    const std::string folder = testsupport::MakeTempFolder("writer");
    const std::string path = folder + "\\lazy.xml";
    {
        CXmlWriter writer;
        writer.SetFileName(path);
    }
    EXPECT_FALSE(FileExists(path));

    CXmlWriter writer;
    writer.SetFileName(path);
    writer.WriteStartTag(CXmlElement("a"), 3); // the declaration ignores the level of the first tag
    writer.Close();
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n   <a>\r\n");

    // After Close the level is 0 again and the next write starts a new file, declaration included.
    EXPECT_EQ(writer.GetLevel(), 0);
    writer.WriteEmptyTag(CXmlElement("b"), 1, false, false);
    writer.Close();
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<b/>");
}

TEST(XmlWriter, AnOpenFailureWritesNothingAndTheNextWriteTriesAgain) {
    const std::string folder = testsupport::MakeTempFolder("writer") + "\\later";
    const std::string path = folder + "\\file.xml";
    CXmlWriter writer;
    writer.SetFileName(path);
    EXPECT_EQ(writer.WriteStartTag(CXmlElement("registry"), 1), 0);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(writer.Flush(), 0);

    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(writer.WriteEndTag("registry", -1), 1);
    EXPECT_EQ(writer.Flush(), 1);
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n </registry>\r\n");
}

TEST(XmlWriter, FileNameChangesOnlyWhileClosed) {
    const std::string folder = testsupport::MakeTempFolder("writer");
    CXmlWriter writer;
    writer.SetFileName(folder + "\\first.xml");
    writer.Write("x");
    writer.SetFileName(folder + "\\second.xml");
    EXPECT_EQ(writer.GetFileName(), folder + "\\first.xml");
    writer.Close();
    writer.SetFileName(folder + "\\second.xml");
    EXPECT_EQ(writer.GetFileName(), folder + "\\second.xml");
}

TEST(XmlWriter, FlushPutsEverythingOnDiskBeforeClose) {
    const std::string path = testsupport::MakeTempFolder("writer") + "\\flush.xml";
    CXmlWriter writer;
    writer.SetFileName(path);
    writer.WriteStartTag(CXmlElement("registry"), 1);
    ASSERT_EQ(writer.Flush(), 1);
    EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n <registry>\r\n");
    EXPECT_FALSE(writer.Failed());
}

TEST(XmlElement, ASecondAttributeOfTheSameNameReplacesTheValueInPlace) {
    CXmlElement e("v");
    e.AddAttribute("name", "a");
    e.AddAttribute("value", "b");
    e.AddAttribute("name", "c");
    e.AddAttribute("Name", "d"); // names compare case-sensitively
    ASSERT_EQ(e.GetAttributeCount(), 3u);
    EXPECT_EQ(e.GetAttributeName(0), "name");
    EXPECT_EQ(e.GetAttributeValue(0), "c");
    EXPECT_EQ(e.GetAttributeName(2), "Name");
    EXPECT_EQ(e.GetAttributeValue(7), "");
    EXPECT_EQ(CXmlWriter::Indent(-2), "");
    EXPECT_EQ(CXmlWriter::Indent(2), "  ");
}
