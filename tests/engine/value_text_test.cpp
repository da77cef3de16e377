#include "engine/value_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

std::string ToText(DWORD type, const Bytes& bytes) {
    return ConvertToString(type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

// The bytes ConvertFromString produces; a null buffer is reported as nullopt-like empty with `ok` false.
struct Converted {
    bool ok = false;
    Bytes bytes;
};

Converted FromText(const std::string& text, DWORD type) {
    std::unique_ptr<BYTE[]> data;
    DWORD size = 12345;
    ConvertFromString(text, type, &data, &size);
    Converted out;
    out.ok = data != nullptr;
    if (data) {
        out.bytes.assign(data.get(), data.get() + size);
    } else {
        EXPECT_EQ(size, 0u);
    }
    return out;
}

TEST(ConvertToString, NumbersInTheirDocumentedForms) {
    EXPECT_EQ(ToText(REG_DWORD, {1, 0, 0, 0}), "0x00000001 (1)");
    EXPECT_EQ(ToText(REG_DWORD, {0, 0, 0, 0x80}), "0x80000000 (-2147483648)");
    EXPECT_EQ(ToText(REG_DWORD, {0xff, 0xff, 0xff, 0xff}), "0xffffffff (-1)");
    EXPECT_EQ(ToText(REG_DWORD_BIG_ENDIAN, {0, 0, 1, 0}), "0x00000100 (256)");
    EXPECT_EQ(ToText(REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}), "0x0000000000000001");
    EXPECT_EQ(ToText(REG_QWORD, {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe}), "0xfedcba9876543210");
}

TEST(ConvertToString, ShortNumbersReadOnlyTheirBytes) {
    // Missing high bytes read as zero; nothing past the data is touched (a guard byte follows the data).
    const Bytes dword2 = {0x34, 0x12, 0xee};
    EXPECT_EQ(ConvertToString(REG_DWORD, dword2.data(), 2), "0x00001234 (4660)");
    EXPECT_EQ(ConvertToString(REG_DWORD, dword2.data(), 0), "0x00000000 (0)");
    EXPECT_EQ(ConvertToString(REG_DWORD, nullptr, 4), "0x00000000 (0)");
    EXPECT_EQ(ConvertToString(REG_DWORD_BIG_ENDIAN, dword2.data(), 2), "0x34120000 (873594880)");
    const Bytes qword3 = {1, 2, 3, 0xee};
    EXPECT_EQ(ConvertToString(REG_QWORD, qword3.data(), 3), "0x0000000000030201");
    // Extra bytes beyond the number are ignored.
    EXPECT_EQ(ToText(REG_DWORD, {2, 0, 0, 0, 9, 9}), "0x00000002 (2)");
}

TEST(ConvertToString, BinaryAsSpacedLowerCaseHex) {
    EXPECT_EQ(ToText(REG_BINARY, {0x00, 0xff, 0x10}), "00 ff 10");
    EXPECT_EQ(ToText(REG_RESOURCE_LIST, {0xAB}), "ab");
    EXPECT_EQ(ToText(REG_RESOURCE_REQUIREMENTS_LIST, {1, 2}), "01 02");
    EXPECT_EQ(ToText(REG_BINARY, {}), "");
}

TEST(ConvertToString, StringsStopAtNulOrAtTheirSize) {
    EXPECT_EQ(ToText(REG_SZ, {'a', 'b', 0, 'c'}), "ab");
    EXPECT_EQ(ToText(REG_EXPAND_SZ, {'%', 'x', '%', 0}), "%x%");
    // No terminating NUL: the text ends with the data, not wherever the next zero byte happens to be.
    const Bytes unterminated = {'a', 'b', 'c', 'X', 'Y'};
    EXPECT_EQ(ConvertToString(REG_SZ, unterminated.data(), 3), "abc");
    EXPECT_EQ(ConvertToString(REG_NONE, unterminated.data(), 2), "ab");
    EXPECT_EQ(ConvertToString(REG_FULL_RESOURCE_DESCRIPTOR, unterminated.data(), 1), "a");
    EXPECT_EQ(ConvertToString(12345, unterminated.data(), 3), "abc");
    EXPECT_EQ(ConvertToString(REG_SZ, nullptr, 10), "");
}

TEST(ConvertToString, MultiStringJoinedByCrLf) {
    EXPECT_EQ(ToText(REG_MULTI_SZ, {'x', 0, 0}), "x");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0}), "a\r\nbc");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {'a', 0, 0, 'b', 0, 0}), "a\r\n\r\nb");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {0, 0}), "");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {0}), "");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {}), "");
    // Lists written without their terminators keep their last string.
    EXPECT_EQ(ToText(REG_MULTI_SZ, {'a', 0, 'b', 0}), "a\r\nb");
    EXPECT_EQ(ToText(REG_MULTI_SZ, {'a', 0, 'b'}), "a\r\nb");
}

TEST(ConvertToString, LinkIsUtf16UpToNulOrOddEnd) {
    EXPECT_EQ(ToText(REG_LINK, {'\\', 0, 'R', 0, 0, 0, 'z', 0}), "\\R");
    // Odd length: the last byte is half a unit and is not read as one.
    const Bytes odd = {'a', 0, 'b', 0, 'c', 0x7f};
    EXPECT_EQ(ConvertToString(REG_LINK, odd.data(), 5), "ab");
    EXPECT_EQ(ConvertToString(REG_LINK, odd.data(), 1), "");
}

TEST(ConvertFromString, InverseOfConvertToStringForEveryWrittenType) {
    const struct {
        DWORD type;
        Bytes bytes;
    } cases[] = {
        {REG_SZ, {'C', ':', '\\', 'x', 0}},
        {REG_SZ, {0}},
        {REG_EXPAND_SZ, {'%', 'S', 'y', 's', 't', 'e', 'm', 'R', 'o', 'o', 't', '%', 0}},
        {REG_BINARY, {0x00, 0xff, 0x10, 0x7f, 0x80}},
        {REG_RESOURCE_LIST, {0xde, 0xad}},
        {REG_RESOURCE_REQUIREMENTS_LIST, {1}},
        {REG_DWORD, {0x10, 0, 0, 0}},
        {REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
        {REG_DWORD, {0, 0, 0, 0x80}},
        {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0xf8}},
        {REG_MULTI_SZ, {'a', 0, 'b', 0, 0}},
        {REG_MULTI_SZ, {'o', 'n', 'e', 0, 0, 't', 'w', 'o', 0, 0}},
    };
    for (const auto& c : cases) {
        const std::string text = ToText(c.type, c.bytes);
        const Converted back = FromText(text, c.type);
        ASSERT_TRUE(back.ok) << "type " << c.type << " text " << text;
        EXPECT_EQ(back.bytes, c.bytes) << "type " << c.type << " text " << text;
    }
}

TEST(ConvertFromString, DocumentedExamplesAndEmptyTexts) {
    EXPECT_EQ(FromText("0x00000010 (16)", REG_DWORD).bytes, (Bytes{0x10, 0, 0, 0}));
    EXPECT_EQ(FromText("a\r\nb", REG_MULTI_SZ).bytes, (Bytes{'a', 0, 'b', 0, 0}));
    EXPECT_EQ(FromText("x", REG_MULTI_SZ).bytes, (Bytes{'x', 0, 0}));
    EXPECT_EQ(FromText("", REG_MULTI_SZ).bytes, (Bytes{0}));
    EXPECT_EQ(FromText("", REG_BINARY).bytes, (Bytes{0}));
    EXPECT_EQ(FromText("", REG_DWORD).bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(FromText("", REG_QWORD).bytes, Bytes(8, 0));
    EXPECT_EQ(FromText("", REG_SZ).bytes, (Bytes{0}));
    // Upper-case digits are accepted.
    EXPECT_EQ(FromText("0xABCDEF01", REG_DWORD).bytes, (Bytes{0x01, 0xef, 0xcd, 0xab}));
    EXPECT_EQ(FromText("00 FF 1a", REG_BINARY).bytes, (Bytes{0x00, 0xff, 0x1a}));
}

TEST(ConvertFromString, ShortTextsNeverReadPastTheirEnd) {
    // Zero-padded on the left: "0x10" is 16, a lone prefix or a single character is 0.
    EXPECT_EQ(FromText("0x10", REG_DWORD).bytes, (Bytes{0x10, 0, 0, 0}));
    EXPECT_EQ(FromText("0x", REG_DWORD).bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(FromText("7", REG_DWORD).bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(FromText("0x0102", REG_QWORD).bytes, (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
    // A binary text with a trailing lone digit makes only the complete bytes.
    EXPECT_EQ(FromText("01 0", REG_BINARY).bytes, (Bytes{1}));
    const Converted lone = FromText("a", REG_BINARY);
    EXPECT_TRUE(lone.ok);
    EXPECT_TRUE(lone.bytes.empty());
}

TEST(ConvertFromString, TypesWithoutTextFormGiveNull) {
    for (const DWORD type : {DWORD{REG_NONE}, DWORD{REG_DWORD_BIG_ENDIAN}, DWORD{REG_LINK},
                             DWORD{REG_FULL_RESOURCE_DESCRIPTOR}, DWORD{99}}) {
        EXPECT_FALSE(FromText("0x00000001 (1)", type).ok) << type;
    }
    // Missing outputs: nothing happens, nothing crashes.
    std::unique_ptr<BYTE[]> data;
    DWORD size = 7;
    ConvertFromString("x", REG_SZ, nullptr, &size);
    EXPECT_EQ(size, 7u);
    ConvertFromString("x", REG_SZ, &data, nullptr);
    EXPECT_EQ(data, nullptr);
}

TEST(HexPairToByte, DigitsAndOtherCharacters) {
    EXPECT_EQ(HexPairToByte('0', '0'), 0x00);
    EXPECT_EQ(HexPairToByte('f', 'F'), 0xff);
    EXPECT_EQ(HexPairToByte('A', '9'), 0xa9);
    // A non-digit counts with its character code: 'g' (103) * 16 + 1, modulo 256.
    EXPECT_EQ(HexPairToByte('g', '1'), static_cast<BYTE>((103 * 16 + 1) % 256));
    EXPECT_EQ(HexPairToByte(' ', ' '), static_cast<BYTE>((32 * 16 + 32) % 256));
}

TEST(XmlEscaping, EscapesAndUnescapesExactly) {
    EXPECT_EQ(GetEscapedXmlString("x<y&\"z"), "x&lt;y&amp;&quot;z");
    EXPECT_EQ(GetUnescapedXmlString("x&lt;y&amp;&quot;z"), "x<y&\"z");
    EXPECT_EQ(GetUnescapedXmlString("&amp;amp;"), "&amp;");
    EXPECT_EQ(GetEscapedXmlString("a>b'c"), "a>b'c");
    EXPECT_EQ(GetEscapedXmlString(""), "");
    EXPECT_EQ(GetUnescapedXmlString(""), "");
    // Texts that already look like entities survive a round trip.
    for (const std::string& text : std::vector<std::string>{"&lt;", "&quot;&amp;", "&&<<\"\"", "&amp;lt;",
                                                            "a\r\nb", std::string("n\0ul", 4)}) {
        EXPECT_EQ(GetUnescapedXmlString(GetEscapedXmlString(text)), text) << text;
    }
}

// A character above 0x7F that the active code page can represent, with its UTF-8 form.
struct HighCharacter {
    std::string ansi;
    std::string utf8;
};

std::vector<HighCharacter> HighCharactersOfActiveCodePage() {
    std::vector<HighCharacter> found;
    for (int b = 0x80; b <= 0xff && found.size() < 8; ++b) {
        const char c = static_cast<char>(b);
        wchar_t wide = 0;
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &c, 1, &wide, 1) != 1 || wide < 0x80) {
            continue;
        }
        char utf8[8] = {};
        const int n = WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, sizeof utf8, nullptr, nullptr);
        found.push_back({std::string(1, c), std::string(utf8, static_cast<size_t>(n))});
    }
    return found;
}

TEST(Utf8Conversion, HighBytesOfTheActiveCodePageRoundTrip) {
    const auto highs = HighCharactersOfActiveCodePage();
    ASSERT_FALSE(highs.empty()) << "code page " << GetACP();
    std::string ansi = "K:";
    std::string utf8 = "K:";
    for (const auto& h : highs) {
        ansi += h.ansi;
        utf8 += h.utf8;
        EXPECT_GE(h.utf8.size(), 2u);
    }
    EXPECT_EQ(UTF8Conversion(ansi), utf8);
    EXPECT_EQ(FromUTF8Conversion(utf8), ansi);
    EXPECT_EQ(GetUnescapedXmlString(GetEscapedXmlString(ansi + "<&>")), ansi + "<&>");
    EXPECT_EQ(UTF8Conversion(""), "");
    EXPECT_EQ(FromUTF8Conversion(""), "");
}

TEST(Utf8Conversion, CharactersOutsideTheCodePageBecomeItsDefaultCharacter) {
    // U+4E2D is not in a single-byte Western code page; in a double-byte one it may exist.
    const std::string utf8 = "\xe4\xb8\xad";
    const std::string ansi = FromUTF8Conversion(utf8);
    EXPECT_FALSE(ansi.empty());
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    if (info.MaxCharSize == 1) {
        EXPECT_EQ(ansi, std::string(1, static_cast<char>(info.DefaultChar[0])));
    }
}

} // namespace
