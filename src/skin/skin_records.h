#pragma once
// The records of the skin file: one value each, read field by field with NextField and NextRect.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Button record: name, x, y, width, height, optional fixed flag.
struct ButtonRecord {
    std::string name;
    RECT rect{};
    bool fixed = false;
};

// Text record: name, face, bold, italic, height, colour, x, y, width, height, text.
struct TextRecord {
    std::string name;
    std::string face;
    bool bold = false;
    bool italic = false;
    int height = 0;
    COLORREF colour = 0;
    RECT rect{};
    std::string text;
};

// List record: x, y, width, height, column count, then a title and a width per column.
struct ListRecord {
    RECT rect{};
    std::vector<std::pair<std::string, int>> columns;
};

// Screen record (sub-screens and the scan dialog's screens): name, four image files, x, y, width, height.
struct ScreenRecord {
    std::string name;
    std::string normalImage;
    std::string overImage;
    std::string downImage;
    std::string disabledImage;
    RECT rect{};
};

// The skin's own mark for the focused button, drawn instead of the dotted rectangle: a frame of one colour,
// `width` pixels wide, just inside the button's edge. Section FOCUSMARK: COLOUR, WIDTH.
struct FocusMark {
    COLORREF colour = 0;
    int width = 2;
};

// COLOUR as the texts write theirs (red + 256 * green + 65536 * blue, decimal); WIDTH 1 to 8, empty for 2.
// Nothing when the colour is empty or either value is not a whole number in range: the dotted rectangle.
std::optional<FocusMark> ParseFocusMark(const std::string& colour, const std::string& width);

// The most columns a list record may ask for; a larger count is held at this.
inline constexpr int kMaxListColumns = 64;

ButtonRecord ParseButtonRecord(std::string value);
// `italicLetter` is the first letter that makes the italic field true: 'F' for the main screen and its
// panels, 'T' for the scan dialog.
TextRecord ParseTextRecord(std::string value, char italicLetter);
ListRecord ParseListRecord(std::string value);
ScreenRecord ParseScreenRecord(std::string value);

// The font of a text record: height, weight 700 or 400, italic, DEFAULT_CHARSET, the face; all else 0.
LOGFONTA MakeTextLogFont(const TextRecord& record);
