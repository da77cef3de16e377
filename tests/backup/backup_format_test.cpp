#include "backup/backup_format.h"

#include <gtest/gtest.h>

namespace {

BackupValue Make(const std::string& name, DWORD type, std::vector<BYTE> data, std::string text,
                 bool unnamed = false) {
    BackupValue v;
    v.unnamed = unnamed;
    v.name = name;
    v.type = type;
    v.data = std::move(data);
    v.text = std::move(text);
    return v;
}

std::vector<BYTE> Bytes(const std::string& s) {
    return std::vector<BYTE>(s.begin(), s.end());
}

// "name=value" for every attribute of the element, in order.
std::vector<std::string> Attributes(const CXmlElement& e) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
        out.push_back(e.GetAttributeName(i) + "=" + e.GetAttributeValue(i));
    }
    return out;
}

using Strings = std::vector<std::string>;

// What the restore makes of an element's attributes (read back without escaping: the texts here are ASCII).
RestoredValue Back(const CXmlElement& e) {
    PendingValue p;
    for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
        const std::string& name = e.GetAttributeName(i);
        const std::string& value = e.GetAttributeValue(i);
        if (name == "name") {
            p.name = value;
        } else if (name == "value") {
            p.text = value;
        } else if (name == "type") {
            p.typeText = value;
        } else if (name == "rawname") {
            p.rawName = value;
            p.hasRawName = true;
        } else if (name == "raw") {
            p.raw = value;
            p.hasRaw = true;
        } else if (name == "rawtype") {
            p.rawType = value;
            p.hasRawType = true;
        }
    }
    RestoredValue r;
    EXPECT_TRUE(DecodePendingValue(p, r));
    return r;
}

} // namespace

TEST(ValueTypes, NamesAsWrittenAndRead) {
    const std::pair<DWORD, const char*> written[] = {
        {REG_NONE, ""},
        {REG_SZ, "REG_SZ"},
        {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
        {REG_BINARY, "REG_BINARY"},
        {REG_DWORD, "REG_DWORD"},
        {REG_DWORD_BIG_ENDIAN, "REG_DWORD"},
        {REG_LINK, "REG_SZ"},
        {REG_MULTI_SZ, "REG_MULTI_SZ"},
        {REG_RESOURCE_LIST, "REG_RESOURCE_LIST"},
        {REG_FULL_RESOURCE_DESCRIPTOR, ""},
        {REG_RESOURCE_REQUIREMENTS_LIST, "REG_RESOURCE_REQUIREMENTS_LIST"},
        {REG_QWORD, "REG_QWORD"},
        {12, ""},
    };
    for (const auto& [type, name] : written) {
        EXPECT_EQ(StringFromValueType(type), name) << type;
    }
    EXPECT_EQ(TypeFromString("reg_expand_sz"), DWORD{REG_EXPAND_SZ});
    EXPECT_EQ(TypeFromString("Reg_Qword"), DWORD{REG_QWORD});
    EXPECT_EQ(TypeFromString("REG_RESOURCE_REQUIREMENTS_LIST"), DWORD{REG_RESOURCE_REQUIREMENTS_LIST});
    for (const char* other : {"", "REG_NONE", "REG_LINK", "REG_DWORD_BIG_ENDIAN", "REG_SZX", "17"}) {
        EXPECT_EQ(TypeFromString(other), DWORD{REG_SZ}) << other;
    }
}

TEST(ValueElement, KeepsTheTextFormWhenItGivesTheBytesBack) {
    EXPECT_EQ(Attributes(ValueElement(Make("Flags", REG_DWORD, {1, 0, 0, 0}, "0x00000001 (1)"))),
              (Strings{"name=Flags", "value=0x00000001 (1)", "type=REG_DWORD"}));
    EXPECT_EQ(Attributes(ValueElement(Make("", REG_SZ, Bytes(std::string("X\0", 2)), "X", true))),
              (Strings{"name=(Default)", "value=X"}));
    EXPECT_EQ(
        Attributes(ValueElement(Make("q", REG_SZ, Bytes(std::string("a&b<c\"d'e>\0", 11)), "a&b<c\"d'e>"))),
        (Strings{"name=q", "value=a&amp;b&lt;c&quot;d'e>"}));
    EXPECT_EQ(Attributes(ValueElement(Make("m", REG_MULTI_SZ, Bytes(std::string("a\0b\0\0", 5)), "a\r\nb"))),
              (Strings{"name=m", "value=a\r\nb", "type=REG_MULTI_SZ"}));
    EXPECT_EQ(Attributes(ValueElement(Make("b", REG_BINARY, {0x00, 0xff, 0x10}, "00 ff 10"))),
              (Strings{"name=b", "value=00 ff 10", "type=REG_BINARY"}));
}

TEST(ValueElement, AddsRawBytesWhereTheTextFormLosesData) {
    struct Case {
        const char* what;
        BackupValue value;
    };
    const Case cases[] = {
        {"big endian", Make("be", REG_DWORD_BIG_ENDIAN, {0, 0, 1, 0}, "0x00000100 (256)")},
        {"none with data", Make("n", REG_NONE, {1, 2}, "\x01\x02")},
        {"link", Make("l", REG_LINK, {'a', 0, 0, 0}, "a")},
        {"full resource descriptor", Make("f", REG_FULL_RESOURCE_DESCRIPTOR, {9, 9}, "\t\t")},
        {"type above 11", Make("t", 0x1234, Bytes("abc"), "abc")},
        {"string without NUL", Make("s", REG_SZ, Bytes("abc"), "abc")},
        {"string with embedded NUL", Make("e", REG_SZ, Bytes(std::string("a\0b\0", 4)), "a")},
        {"empty binary", Make("eb", REG_BINARY, {}, "")},
        {"empty multi string", Make("em", REG_MULTI_SZ, {}, "")},
        {"short dword", Make("d", REG_DWORD, {1, 2, 3}, "0x00030201 (197121)")},
        {"long qword", Make("q", REG_QWORD, std::vector<BYTE>(9, 1), "0x0101010101010101")},
        {"lone line feed", Make("lf", REG_SZ, Bytes(std::string("a\nb\0", 4)), "a\nb")},
        {"empty unnamed value", Make("", REG_SZ, {}, "(value not set)", true)},
    };
    for (const Case& c : cases) {
        const CXmlElement element = ValueElement(c.value);
        const Strings attributes = Attributes(element);
        ASSERT_GE(attributes.size(), 2u) << c.what;
        EXPECT_EQ(attributes[attributes.size() - 2], "raw=" + HexOf(c.value.data)) << c.what;
        EXPECT_EQ(attributes.back(), "rawtype=" + std::to_string(c.value.type)) << c.what;
        const RestoredValue back = Back(element);
        EXPECT_EQ(back.type, c.value.type) << c.what;
        EXPECT_EQ(back.data, c.value.data) << c.what;
        EXPECT_EQ(back.unnamed, c.value.unnamed) << c.what;
    }
}

TEST(ValueElement, NamesThatReadBackAsSomethingElseGoAsRawBytes) {
    // A value literally named "(Default)" (in any case) is not the unnamed value.
    const CXmlElement literal = ValueElement(Make("(default)", REG_SZ, Bytes(std::string("x\0", 2)), "x"));
    EXPECT_EQ(Attributes(literal), (Strings{"name=(default)", "value=x", "rawname=2864656661756c7429"}));
    RestoredValue back = Back(literal);
    EXPECT_FALSE(back.unnamed);
    EXPECT_EQ(back.name, "(default)");

    const CXmlElement lineFeed = ValueElement(Make("a\nb", REG_SZ, Bytes(std::string("x\0", 2)), "x"));
    back = Back(lineFeed);
    EXPECT_EQ(back.name, "a\nb");

    EXPECT_EQ(Attributes(KeyElement("plain & <simple>")), (Strings{"name=plain &amp; &lt;simple>"}));
    EXPECT_EQ(Attributes(KeyElement("two\nlines")),
              (Strings{"rawname=74776f0a6c696e6573", "name=two\nlines"}));
}

TEST(PendingValue, FilesOfTheTextFormRestoreAsBefore) {
    PendingValue p;
    p.name = "(DEFAULT)";
    p.text = "0x00000100 (256)";
    p.typeText = "reg_dword";
    RestoredValue r;
    ASSERT_TRUE(DecodePendingValue(p, r));
    EXPECT_TRUE(r.unnamed);
    EXPECT_EQ(r.type, DWORD{REG_DWORD});
    EXPECT_EQ(r.data, (std::vector<BYTE>{0, 1, 0, 0}));

    p.Clear();
    p.name = "n";
    p.text = "v";
    p.typeText = "REG_NONSENSE";
    ASSERT_TRUE(DecodePendingValue(p, r));
    EXPECT_EQ(r.type, DWORD{REG_SZ});
    EXPECT_EQ(r.data, Bytes(std::string("v\0", 2)));
}

TEST(PendingValue, DamagedRawAttributesAreRefused) {
    PendingValue p;
    p.name = "n";
    p.hasRaw = true;
    p.hasRawType = true;
    RestoredValue r;
    for (const auto& [raw, type] : std::vector<std::pair<std::string, std::string>>{
             {"0", "3"}, {"zz", "3"}, {"00", ""}, {"00", "-1"}, {"00", "4294967296"}, {"00", "3x"}}) {
        p.raw = raw;
        p.rawType = type;
        EXPECT_FALSE(DecodePendingValue(p, r)) << raw << " " << type;
    }
    p.raw = "";
    p.rawType = "3";
    ASSERT_TRUE(DecodePendingValue(p, r));
    EXPECT_TRUE(r.data.empty());

    p.hasRawType = false; // raw bytes without their type
    EXPECT_FALSE(DecodePendingValue(p, r));

    PendingValue name;
    name.name = "n";
    name.text = "v";
    name.hasRawName = true;
    name.rawName = "6"; // half a byte
    EXPECT_FALSE(DecodePendingValue(name, r));
}

TEST(Hex, RoundTripsEveryByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    std::string back;
    ASSERT_TRUE(BytesOfHex(HexOf(all), back));
    EXPECT_EQ(back, all);
    ASSERT_TRUE(BytesOfHex("AbCd", back));
    EXPECT_EQ(back, "\xab\xcd");
}
