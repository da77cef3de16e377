#include "skin/skin_records.h"

#include <algorithm>

#include "skin/skin_ini.h"

namespace {

// A whole number of at most nine digits between spaces, or nothing.
std::optional<long> WholeNumber(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t last = text.find_last_not_of(' ');
    const std::string digits = text.substr(first, last - first + 1);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stol(digits);
}

} // namespace

std::optional<FocusMark> ParseFocusMark(const std::string& colour, const std::string& width) {
    constexpr long kMostWidth = 8;
    const std::optional<long> rgb = WholeNumber(colour);
    const std::optional<long> pixels =
        width.find_first_not_of(' ') == std::string::npos ? 2 : WholeNumber(width);
    if (!rgb || *rgb > 0xFFFFFF || !pixels || *pixels < 1 || *pixels > kMostWidth) {
        return std::nullopt;
    }
    return FocusMark{static_cast<COLORREF>(*rgb), static_cast<int>(*pixels)};
}

ButtonRecord ParseButtonRecord(std::string value) {
    ButtonRecord record;
    record.name = NextField(value);
    record.rect = NextRect(value);
    // A five-field record repeats its height here, which is no flag.
    record.fixed = FieldFlag(NextField(value));
    return record;
}

TextRecord ParseTextRecord(std::string value, char italicLetter) {
    TextRecord record;
    record.name = NextField(value);
    record.face = NextField(value);
    record.bold = FieldFlag(NextField(value));
    record.italic = FieldFlag(NextField(value), italicLetter);
    record.height = FieldToInt(NextField(value));
    record.colour = static_cast<COLORREF>(FieldToInt(NextField(value)));
    record.rect = NextRect(value);
    record.text = NextField(value);
    return record;
}

ListRecord ParseListRecord(std::string value) {
    ListRecord record;
    record.rect = NextRect(value);
    const int count = std::clamp(FieldToInt(NextField(value)), 0, kMaxListColumns);
    for (int i = 0; i < count; ++i) {
        std::string title = NextField(value);
        const int width = FieldToInt(NextField(value));
        record.columns.emplace_back(std::move(title), width);
    }
    return record;
}

ScreenRecord ParseScreenRecord(std::string value) {
    ScreenRecord record;
    record.name = NextField(value);
    record.normalImage = NextField(value);
    record.overImage = NextField(value);
    record.downImage = NextField(value);
    record.disabledImage = NextField(value);
    record.rect = NextRect(value);
    return record;
}

LOGFONTA MakeTextLogFont(const TextRecord& record) {
    LOGFONTA font{};
    font.lfHeight = record.height;
    font.lfWeight = record.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = record.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    const size_t length = std::min(record.face.size(), sizeof font.lfFaceName - 1);
    std::copy_n(record.face.begin(), length, font.lfFaceName);
    return font;
}
