// Reading the skin file: fields, numbers, flags, numbered sections and the folder of a path.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <random>

#include "skin/skin_ini.h"
#include "skin/skin_records.h"
#include "skin_test_files.h"
#include "support/test_paths.h"

namespace {

std::string WriteSkin(const std::string& content) {
    const std::string path = testsupport::MakeTempFolder("skinini") + "\\Skin.ini";
    testsupport::WriteBytes(path, content);
    return path;
}

TEST(NextField, TakesFieldsInOrderAndRepeatsTheLast) {
    std::string value = "A,B,C";
    EXPECT_EQ(NextField(value), "A");
    EXPECT_EQ(NextField(value), "B");
    EXPECT_EQ(NextField(value), "C");
    EXPECT_EQ(NextField(value), "C");
    EXPECT_EQ(value, "C");
}

TEST(NextField, KeepsSpaceBeforeTheCommaButTrimsTheRest) {
    std::string value = "A , B ";
    EXPECT_EQ(NextField(value), "A ");
    EXPECT_EQ(value, "B");
    EXPECT_EQ(NextField(value), "B");
}

TEST(NextField, EmptyFieldsAndEmptyText) {
    std::string value = ",,x";
    EXPECT_EQ(NextField(value), "");
    EXPECT_EQ(NextField(value), "");
    EXPECT_EQ(NextField(value), "x");
    std::string empty;
    EXPECT_EQ(NextField(empty), "");
}

TEST(NextField, CutsTextLongerThanTheFieldBuffer) {
    std::string value(300, 'x');
    EXPECT_EQ(NextField(value).size(), kMaxFieldText);
    // A comma beyond the cut is never seen.
    std::string late = std::string(260, 'y') + ",z";
    EXPECT_EQ(NextField(late), std::string(255, 'y'));
}

TEST(FieldToInt, ReadsLikeAtoi) {
    EXPECT_EQ(FieldToInt("255"), 255);
    EXPECT_EQ(FieldToInt("  42px"), 42);
    EXPECT_EQ(FieldToInt("-7"), -7);
    EXPECT_EQ(FieldToInt("+3"), 3);
    EXPECT_EQ(FieldToInt("0xFF"), 0);
    EXPECT_EQ(FieldToInt(""), 0);
    EXPECT_EQ(FieldToInt("abc"), 0);
    EXPECT_EQ(FieldToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(FieldToInt("-99999999999999999999"), INT_MIN);
}

TEST(FieldFlag, OnlyACapitalTCounts) {
    EXPECT_TRUE(FieldFlag("T"));
    EXPECT_TRUE(FieldFlag("TRUE"));
    EXPECT_TRUE(FieldFlag("True"));
    EXPECT_FALSE(FieldFlag("t"));
    EXPECT_FALSE(FieldFlag("1"));
    EXPECT_FALSE(FieldFlag(""));
    EXPECT_FALSE(FieldFlag(" T"));
    EXPECT_TRUE(FieldFlag("F", 'F'));
}

TEST(NextRect, XYWidthHeight) {
    std::string value = "20, 40, 90, 30, rest";
    const RECT rc = NextRect(value);
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.top, 40);
    EXPECT_EQ(rc.right, 110);
    EXPECT_EQ(rc.bottom, 70);
    EXPECT_EQ(value, "rest");
    std::string huge = "2147483000, 0, 2147483000, 1";
    EXPECT_EQ(NextRect(huge).right, INT_MAX);
    std::string empty;
    const RECT none = NextRect(empty);
    EXPECT_EQ(none.left | none.top | none.right | none.bottom, 0);
}

TEST(GetFolder, BareNameGivesTheCurrentDirectory) {
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    std::string expected = current;
    if (expected.back() != '\\') {
        expected += '\\';
    }
    EXPECT_EQ(GetFolder("Skin.ini"), expected);
    EXPECT_EQ(ResolveSkinPath("Skin.ini"), expected + "skin\\Skin.ini");
}

TEST(GetFolder, FullPathsAndTheRoot) {
    EXPECT_EQ(GetFolder("C:\\Skin.ini"), "C:\\");
    EXPECT_EQ(GetFolder("C:\\data\\data"), "C:\\data\\");
    EXPECT_EQ(GetFolder("C:\\a\\b\\c.ini"), "C:\\a\\b\\");
}

// The skin beside the program file wins, so the program works from any starting folder; without it the
// skin below the current folder, as before installation.
TEST(ChooseSkinFolder, BesideTheProgramFirstThenTheCurrentFolder) {
    const struct {
        bool besideProgram;
        bool programFolderKnown;
        const char* expected;
    } cases[] = {{true, true, "program"}, {false, true, "current"}, {true, false, "current"}};
    for (const auto& c : cases) {
        const std::string program = testsupport::MakeTempFolder("program") + "\\";
        const std::string current = testsupport::MakeTempFolder("current") + "\\";
        CreateDirectoryA((program + "skin").c_str(), nullptr);
        if (c.besideProgram) {
            testsupport::WriteBytes(program + "skin\\Skin.ini", "[MAINSCREENINFO]\n");
        }
        const std::string expected = std::string(c.expected) == "program" ? program : current;
        EXPECT_EQ(ChooseSkinFolder(c.programFolderKnown ? program : "", current), expected + "skin\\")
            << c.besideProgram << c.programFolderKnown;
    }
}

TEST(GetFolder, OverLongPathGivesNothing) {
    EXPECT_EQ(GetFolder("C:\\" + std::string(400, 'x')), "");
}

TEST(SkinIni, ValuesKeysAndDefaults) {
    const CSkinIni ini(WriteSkin("[S]\nb=2\na=1\nempty=\n"));
    EXPECT_EQ(ini.GetValue("S", "a", "d"), "1");
    EXPECT_EQ(ini.GetValue("S", "missing", "d"), "d");
    EXPECT_EQ(ini.GetValue("Nope", "a", "d"), "d");
    EXPECT_EQ(ini.GetValue("S", "empty", "d"), "");
    std::vector<std::string> keys{"stale"};
    EXPECT_TRUE(ini.GetKeys("S", keys));
    EXPECT_EQ(keys, (std::vector<std::string>{"b", "a", "empty"}));
    EXPECT_FALSE(ini.GetKeys("Nope", keys));
    EXPECT_TRUE(keys.empty());
}

TEST(SkinIni, LongValuesAreCutByTheBuffer) {
    const CSkinIni ini(WriteSkin("[S]\nlong=" + std::string(3000, 'v') + "\n"));
    EXPECT_EQ(ini.GetValue("S", "long", "").size(), 2047u);
}

TEST(SkinIni, NumberedKeysOneTwoFourReadOneAndTwo) {
    const CSkinIni ini(WriteSkin("[S]\n1=one\n2=two\n4=four\n"));
    EXPECT_EQ(ini.GetNumberedValues("S"), (std::vector<std::string>{"one", "two"}));
}

TEST(SkinIni, LetterKeysReadNothing) {
    const CSkinIni ini(WriteSkin("[S]\nA=x\nB=y\n"));
    EXPECT_TRUE(ini.GetNumberedValues("S").empty());
}

TEST(SkinIni, EmptyNumberedKeyIsSkipped) {
    const CSkinIni ini(WriteSkin("[S]\n1=\n2=two\n3=three\n"));
    EXPECT_EQ(ini.GetNumberedValues("S"), (std::vector<std::string>{"two", "three"}));
}

TEST(SkinIni, MissingFileAndSectionGiveNothing) {
    const CSkinIni ini("C:\\no\\such\\Skin.ini");
    EXPECT_EQ(ini.GetValue("S", "k", "d"), "d");
    EXPECT_TRUE(ini.GetNumberedValues("S").empty());
}

TEST(ButtonRecord, FixedFlagIsTheSixthField) {
    const ButtonRecord plain = ParseButtonRecord("BUTTON_SCAN, 20, 40, 90, 30");
    EXPECT_EQ(plain.name, "BUTTON_SCAN");
    EXPECT_EQ(plain.rect.left, 20);
    EXPECT_EQ(plain.rect.bottom, 70);
    EXPECT_FALSE(plain.fixed);
    EXPECT_FALSE(ParseButtonRecord("B, 1, 2, 3, 4, t").fixed);
    EXPECT_TRUE(ParseButtonRecord("B, 1, 2, 3, 4, TRUE").fixed);
}

TEST(TextRecord, ElevenFieldsAndExtraCommas) {
    const TextRecord record =
        ParseTextRecord("TEXT_A, Tahoma, T, F, -12, 255, 5, 6, 100, 20, Hello, world, again", 'F');
    EXPECT_EQ(record.name, "TEXT_A");
    EXPECT_EQ(record.face, "Tahoma");
    EXPECT_TRUE(record.bold);
    EXPECT_TRUE(record.italic);
    EXPECT_EQ(record.height, -12);
    EXPECT_EQ(record.colour, RGB(255, 0, 0));
    EXPECT_EQ(record.rect.right, 105);
    EXPECT_EQ(record.rect.bottom, 26);
    EXPECT_EQ(record.text, "Hello");
}

TEST(TextRecord, ItalicLetterDependsOnTheReader) {
    EXPECT_FALSE(ParseTextRecord("N, F, F, T, 8, 0, 0, 0, 1, 1, x", 'F').italic);
    EXPECT_TRUE(ParseTextRecord("N, F, F, T, 8, 0, 0, 0, 1, 1, x", 'T').italic);
    EXPECT_FALSE(ParseTextRecord("N, F, t, F, 8, 0, 0, 0, 1, 1, x", 'T').bold);
    EXPECT_EQ(ParseTextRecord("N, F, F, F, 8, 0xFF, 0, 0, 1, 1, x", 'F').colour, 0u);
}

TEST(TextRecord, LogFont) {
    const TextRecord record = ParseTextRecord("N, Courier New, T, F, 14, 0, 0, 0, 1, 1, x", 'T');
    const LOGFONTA font = MakeTextLogFont(record);
    EXPECT_EQ(font.lfHeight, 14);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfWidth, 0);
    TextRecord longFace = record;
    longFace.face = std::string(100, 'f');
    EXPECT_EQ(std::string(MakeTextLogFont(longFace).lfFaceName).size(), 31u);
}

TEST(ListRecord, ColumnsAndABadCount) {
    const ListRecord list = ParseListRecord("10, 20, 300, 100, 2, Name, 120, Next Run, 80");
    EXPECT_EQ(list.rect.right, 310);
    ASSERT_EQ(list.columns.size(), 2u);
    EXPECT_EQ(list.columns[0].first, "Name");
    EXPECT_EQ(list.columns[1].second, 80);
    EXPECT_EQ(ParseListRecord("0, 0, 1, 1, 2000000000, a, 1").columns.size(),
              static_cast<size_t>(kMaxListColumns));
    EXPECT_TRUE(ParseListRecord("0, 0, 1, 1, -3").columns.empty());
}

TEST(ScreenRecord, NameImagesRect) {
    const ScreenRecord screen = ParseScreenRecord("SUBMAIN_MAIN, n.bmp, o.bmp, d.bmp, x.bmp, 5, 6, 7, 8");
    EXPECT_EQ(screen.name, "SUBMAIN_MAIN");
    EXPECT_EQ(screen.normalImage, "n.bmp");
    EXPECT_EQ(screen.disabledImage, "x.bmp");
    EXPECT_EQ(screen.rect.right, 12);
    EXPECT_EQ(screen.rect.bottom, 14);
}

// Values of every shape a broken or hostile skin file can hold: the readers never fail, never read past a
// field's limit, never make more columns than the limit, and always give a terminated font name.
TEST(SkinRecords, RandomValuesNeverBreakTheReaders) {
    std::mt19937 random(20261207); // fixed: a failure is reproducible
    const std::string pieces[] = {",",
                                  ", ",
                                  " ",
                                  "-",
                                  "+",
                                  "0",
                                  "7",
                                  "2147483647",
                                  "-2147483648",
                                  "99999999999999999999",
                                  "T",
                                  "F",
                                  "I",
                                  "SUBMAIN_MAIN",
                                  "a.gif",
                                  "\t",
                                  std::string(300, ','),
                                  std::string(300, '9'),
                                  std::string(1, '\0'),
                                  "\xff"};
    for (int round = 0; round < 5000; ++round) {
        std::string value;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            value += pieces[random() % std::size(pieces)];
        }
        SCOPED_TRACE(value.substr(0, 80));
        const ButtonRecord button = ParseButtonRecord(value);
        const TextRecord text = ParseTextRecord(value, 'I');
        const ListRecord list = ParseListRecord(value);
        const ScreenRecord screen = ParseScreenRecord(value);
        EXPECT_LE(list.columns.size(), static_cast<size_t>(kMaxListColumns));
        for (const std::string* field : {&button.name, &text.name, &text.face, &text.text, &screen.name,
                                         &screen.normalImage, &screen.disabledImage}) {
            EXPECT_LE(field->size(), kMaxFieldText);
        }
        const LOGFONTA font = MakeTextLogFont(text);
        EXPECT_EQ(font.lfFaceName[sizeof font.lfFaceName - 1], '\0');
    }
}

} // namespace
