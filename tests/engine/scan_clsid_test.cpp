#include "engine_test_support.h"

#include <cstdio>

namespace {

using enginetest::ProgressLog;
using Op = testsupport::MemoryRegistry::Op;

constexpr char kClass[] = "{1111AAAA-2222-3333-4444-555555555555}";
constexpr char kOther[] = "{99999999-2222-3333-4444-555555555555}";

class ClsidScanTest : public enginetest::MemoryEngineTest {
protected:
    void SetUp() override {
        MemoryEngineTest::SetUp();
        registry.AddKey("HKEY_CLASSES_ROOT\\CLSID");
    }
    std::string ClassPath(const char* cls = kClass) const {
        return std::string("HKEY_CLASSES_ROOT\\CLSID\\") + cls;
    }
    void Server(const char* server, const std::string& data, const char* cls = kClass) {
        registry.SetString(ClassPath(cls) + "\\" + server, "", data);
        registry.SetString(ClassPath(cls) + "\\" + server, "ThreadingModel", "Both");
    }
    void ProgId(const std::string& progId, const char* cls = kClass) {
        registry.SetString(ClassPath(cls) + "\\ProgID", "", progId);
    }
    const CScanError& Scan() {
        lib.ScanRegistryCLSID(rows);
        EXPECT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows.back()->m_strDescription, "Invalid CLSID");
        EXPECT_EQ(rows.back()->m_nFixed, 0);
        return *rows.back();
    }
    std::vector<std::string> FindingLines() const {
        std::vector<std::string> lines;
        for (const auto& f : lib.m_arrErrorLog) {
            lines.push_back(f->GetCategory() + " " + f->GetKind() + " " + f->GetKeyPath() +
                            (f->GetValue() ? " = " + f->GetValue()->m_strData : std::string()));
        }
        return lines;
    }

    ScanErrorList rows;
};

TEST_F(ClsidScanTest, ExistingServersRecordNothingAndReportTheTestedPath) {
    Server("InprocServer32", "%SystemRoot%\\System32\\kernel32.dll");
    Server("LocalServer32", "\"" + present + "\" -Embedding", kOther);
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 2);
    EXPECT_EQ(row.m_nFound, 0);
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
    ASSERT_EQ(ProgressLog::calls.size(), 2u);
    EXPECT_EQ(_stricmp(ProgressLog::calls[0].item.c_str(),
                       (enginetest::WindowsDir() + "\\System32\\kernel32.dll").c_str()),
              0)
        << ProgressLog::calls[0].item;
    EXPECT_EQ(ProgressLog::calls[0].status, "Scanning CLSID");
    EXPECT_EQ(ProgressLog::calls[1].item, present);
    EXPECT_EQ(ProgressLog::calls[1].scanned, 2);
}

TEST_F(ClsidScanTest, CommandLinesAreReadAsCreateProcessReadsThem) {
    Server("LocalServer32", "\"" + present + "\" /automation");
    Server("LocalServer32", present + " -Embedding", kOther);
    EXPECT_EQ(Scan().m_nFound, 0);
    ASSERT_EQ(ProgressLog::calls.size(), 2u);
    EXPECT_EQ(ProgressLog::calls[0].item, present);
    EXPECT_EQ(ProgressLog::calls[1].item, present);
}

TEST_F(ClsidScanTest, ServerWithoutDataIsCountedButNotTested) {
    registry.AddKey(ClassPath() + "\\InprocServer32");                        // no default value at all
    registry.SetValue(ClassPath(kOther) + "\\LocalServer32", "", REG_SZ, {}); // default value without data
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 2);
    EXPECT_EQ(row.m_nFound, 0);
    EXPECT_TRUE(ProgressLog::calls.empty());
}

TEST_F(ClsidScanTest, EmptyServerTextCannotBeJudged) {
    Server("InprocServer32", "");
    EXPECT_EQ(Scan().m_nFound, 0);
    ASSERT_EQ(ProgressLog::calls.size(), 1u);
    EXPECT_EQ(ProgressLog::calls[0].item, "");
}

TEST_F(ClsidScanTest, MissingServerRecordsTheClassAndItsProgId) {
    Server("InprocServer32", missing);
    registry.SetString("HKEY_CLASSES_ROOT\\Foo.Bar.1\\CLSID", "", kClass);
    ProgId("Foo.Bar.1");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 2);
    EXPECT_EQ(row.m_nFound, 2);
    ASSERT_EQ(lib.m_arrErrorLog.size(), 2u);
    const CRegErrorLog& cls = *lib.m_arrErrorLog[0];
    EXPECT_EQ(cls.GetCategory(), "CLSID");
    EXPECT_EQ(cls.GetKind(), "KEY");
    EXPECT_EQ(cls.GetKeyPath(), ClassPath());
    ASSERT_NE(cls.GetValue(), nullptr);
    EXPECT_EQ(cls.GetValue()->m_strName, "(Default)");
    EXPECT_EQ(cls.GetValue()->m_strData, missing);
    EXPECT_EQ(cls.GetValue()->m_dwType, DWORD{REG_SZ});
    EXPECT_TRUE(cls.GetValue()->m_bHasRaw);
    const CRegErrorLog& prog = *lib.m_arrErrorLog[1];
    EXPECT_EQ(prog.GetCategory(), "PROGID");
    EXPECT_EQ(prog.GetKind(), "KEY");
    EXPECT_EQ(prog.GetKeyPath(), "HKEY_CLASSES_ROOT\\Foo.Bar.1");
    EXPECT_EQ(prog.GetValue(), nullptr);
    ASSERT_EQ(ProgressLog::calls.size(), 1u);
    EXPECT_EQ(ProgressLog::calls[0].item, missing);
    EXPECT_EQ(ProgressLog::calls[0].scanned, 1); // the ProgID is counted once the whole class is read
}

TEST_F(ClsidScanTest, MissingServerWithoutProgIdGivesOneFinding) {
    Server("LocalServer", missing);
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 1);
    EXPECT_EQ(row.m_nFound, 1);
    EXPECT_EQ(FindingLines(), std::vector<std::string>{"CLSID KEY " + ClassPath() + " = " + missing});
}

TEST_F(ClsidScanTest, ServerKeyNamesCompareWithoutCaseAndOthersAreIgnored) {
    Server("InProcServer32", missing);
    Server("InprocHandler32", missing, kOther);
    Server("TypeLib", missing, kOther);
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 1);
    EXPECT_EQ(FindingLines(), std::vector<std::string>{"CLSID KEY " + ClassPath() + " = " + missing});
}

TEST_F(ClsidScanTest, TwoDeadServersGiveTwoClassFindingsAndTheProgIdTwice) {
    Server("InprocServer32", missing);
    Server("LocalServer32", missing + " -Embedding");
    registry.SetString("HKEY_CLASSES_ROOT\\Foo.Bar.1\\CLSID", "", std::string(kClass));
    ProgId("Foo.Bar.1");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 4);
    EXPECT_EQ(row.m_nFound, 4);
    const std::vector<std::string> expected = {"CLSID KEY " + ClassPath() + " = " + missing,
                                               "PROGID KEY HKEY_CLASSES_ROOT\\Foo.Bar.1",
                                               "CLSID KEY " + ClassPath() + " = " + missing + " -Embedding",
                                               "PROGID KEY HKEY_CLASSES_ROOT\\Foo.Bar.1"};
    EXPECT_EQ(FindingLines(), expected);
}

// A class with one working server is in use: a dead 16-bit InprocServer beside a working InprocServer32
// (as Wine and Windows register PSDispatch) must not take the class with it.
TEST_F(ClsidScanTest, OneWorkingServerKeepsTheWholeClass) {
    Server("InprocServer", "ole2disp.dll");
    Server("InprocServer32", present);
    ProgId("Foo.Bar.1");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 3); // the ProgID is still counted for the dead server
    EXPECT_EQ(row.m_nFound, 0);
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
    EXPECT_EQ(ProgressLog::calls.size(), 2u);
}

TEST_F(ClsidScanTest, ClassThatCannotBeJudgedCompletelyIsLeftAlone) {
    Server("InprocServer32", missing);
    Server("LocalServer32", present);
    registry.FailEvery(Op::OpenKey, ERROR_ACCESS_DENIED, ClassPath() + "\\LocalServer32");
    Server("InprocServer32", missing, kOther);
    registry.FailEvery(Op::EnumValue, ERROR_ACCESS_DENIED, ClassPath(kOther) + "\\InprocServer32");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nFound, 0);
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
}

// A ProgID finding deletes a whole key: only a key that is this class's ProgID and nothing else qualifies,
// even when a planted CLSID value under a shared key points back at the class.
TEST_F(ClsidScanTest, ProgIdIsRecordedOnlyWhenItIsThisClassesOwnKey) {
    struct Case {
        std::string progId;
        bool recorded;
    };
    const std::string root = "HKEY_CLASSES_ROOT\\";
    for (const char* key :
         {"Own.Prog.1", "CLSID", ".txt", "*", "Folder", "Directory", "Drive", "AllFilesystemObjects",
          "Unknown", "Extra.Sub", "Presented.Prog", "Shared.Prog", "Named.Prog"}) {
        registry.SetString(root + key + "\\CLSID", "", kClass);
    }
    registry.SetString(root + "Foreign.Prog\\CLSID", "", kOther);
    registry.AddKey(root + "NoClsid.Prog");
    registry.AddKey(root + "*\\shellex");
    registry.AddKey(root + "Extra.Sub\\Data");
    for (const char* sub : {"CurVer", "DefaultIcon", "shell\\open\\command", "Insertable"}) {
        registry.AddKey(root + "Presented.Prog\\" + sub);
    }
    // Other classes (without servers, so never findings themselves) that name two of the keys.
    registry.SetString(ClassPath(kOther) + "\\VersionIndependentProgID", "", "Shared.Prog");
    registry.SetString(ClassPath("{77777777-2222-3333-4444-555555555555}") + "\\ProgID", "", "named.prog");
    const Case cases[] = {{"Own.Prog.1", true},
                          {"Presented.Prog", true},
                          {"Absent.Prog", false}, // nothing there to delete
                          {"Foreign.Prog", false},
                          {"NoClsid.Prog", false},
                          {"Extra.Sub", false},
                          {"Shared.Prog", false},
                          {"Named.Prog", false},
                          {"CLSID", false},
                          {".txt", false},
                          {"*", false},
                          {"Folder", false},
                          {"Directory", false},
                          {"Drive", false},
                          {"AllFilesystemObjects", false},
                          {"Unknown", false},
                          {"CLSID\\" + std::string(kOther), false},
                          {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progId);
        registry.SetString(ClassPath() + "\\InprocServer32", "", missing);
        ProgId(c.progId);
        rows.clear();
        const CScanError& row = Scan();
        EXPECT_EQ(row.m_nScanned, 2); // the ProgID record counts either way
        EXPECT_EQ(row.m_nFound, c.recorded ? 2 : 1);
        ASSERT_EQ(lib.m_arrErrorLog.size(), c.recorded ? 2u : 1u);
        if (c.recorded) {
            EXPECT_EQ(lib.m_arrErrorLog[1]->GetKeyPath(), "HKEY_CLASSES_ROOT\\" + c.progId);
        }
        lib.m_arrErrorLog.clear();
    }
    // The ProgID's CLSID may name the class in another case.
    registry.SetString(root + "Lower.Prog\\CLSID", "", "{1111aaaa-2222-3333-4444-555555555555}");
    ProgId("Lower.Prog");
    rows.clear();
    EXPECT_EQ(Scan().m_nFound, 2);
}

TEST_F(ClsidScanTest, ProgIdWithoutDataIsCountedNotRecorded) {
    Server("InprocServer32", missing);
    registry.AddKey(ClassPath() + "\\ProgID");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 2);
    EXPECT_EQ(row.m_nFound, 1);
}

TEST_F(ClsidScanTest, ClassKeysThatCannotBeReadArePassedOver) {
    Server("InprocServer32", missing);
    Server("InprocServer32", missing, kOther);
    registry.AddKey("HKEY_CLASSES_ROOT\\CLSID\\{empty}");
    registry.FailEvery(Op::OpenKey, ERROR_ACCESS_DENIED, ClassPath());
    registry.FailEvery(Op::QueryInfoKey, ERROR_ACCESS_DENIED, ClassPath(kOther));
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 0);
    EXPECT_EQ(row.m_nFound, 0);
}

TEST_F(ClsidScanTest, MissingClsidKeyGivesAnEmptyRowAndFailedQueryNoRow) {
    registry.FailNext(Op::OpenKey, ERROR_FILE_NOT_FOUND, "HKEY_CLASSES_ROOT\\CLSID");
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 0);
    EXPECT_EQ(row.m_nFound, 0);

    rows.clear();
    Server("InprocServer32", missing);
    registry.FailNext(Op::QueryInfoKey, ERROR_ACCESS_DENIED, "HKEY_CLASSES_ROOT\\CLSID");
    lib.ScanRegistryCLSID(rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
}

TEST_F(ClsidScanTest, EnumerationFailureEndsTheWalkWithTheCountsSoFar) {
    for (int i = 0; i < 5; ++i) {
        char cls[64];
        std::snprintf(cls, sizeof cls, "{0000000%d-0000-0000-0000-000000000000}", i);
        Server("InprocServer32", present, cls);
    }
    registry.FailNext(Op::EnumKeyEx, ERROR_INVALID_HANDLE, "HKEY_CLASSES_ROOT\\CLSID");
    EXPECT_EQ(Scan().m_nScanned, 0);
    rows.clear();
    // A class name longer than the query announced (added meanwhile) is read, not the end of the walk.
    registry.FailNext(Op::EnumKeyEx, ERROR_MORE_DATA, "HKEY_CLASSES_ROOT\\CLSID");
    EXPECT_EQ(Scan().m_nScanned, 5);
}

TEST_F(ClsidScanTest, StopInTheMiddleKeepsTheRowWithPartialCounts) {
    for (int i = 0; i < 6; ++i) {
        char cls[64];
        std::snprintf(cls, sizeof cls, "{0000000%d-0000-0000-0000-000000000000}", i);
        Server("InprocServer32", i == 2 ? missing : present, cls);
    }
    ProgressLog::stopAtCall = 3; // while the third class, whose server is missing, is being examined
    const CScanError& row = Scan();
    EXPECT_EQ(row.m_nScanned, 3);
    EXPECT_EQ(row.m_nFound, 0); // the interrupted class was not judged completely
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
    EXPECT_EQ(ProgressLog::calls.size(), 3u);
}

TEST_F(ClsidScanTest, StopBeforeTheFamilyAddsNoRow) {
    Server("InprocServer32", missing);
    RequestStop();
    lib.ScanRegistryCLSID(rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(lib.m_arrErrorLog.empty());
}

} // namespace
