// libFuzzer target: the value texts. The first byte picks a type; the rest is a text for ConvertFromString
// and raw data for ConvertToString. Checks that escaping is undone exactly and that the text of a value
// converts back without reading past anything.
#include "engine/value_text.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const DWORD type = data[0] % 14;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    std::unique_ptr<BYTE[]> bytes;
    DWORD count = 0;
    ConvertFromString(text, type, &bytes, &count);
    if (bytes) {
        (void)ConvertToString(type, bytes.get(), count);
    }
    const std::string shown = ConvertToString(type, data + 1, static_cast<DWORD>(size - 1));
    ConvertFromString(shown, type, &bytes, &count);

    // With a code page that has every byte, unescaping undoes escaping exactly.
    if (GetUnescapedXmlString(GetEscapedXmlString(text)) != text) {
        std::abort();
    }
    (void)GetUnescapedXmlString(text);
    (void)HexPairToByte(static_cast<char>(data[0]), size > 1 ? static_cast<char>(data[1]) : '0');
    return 0;
}
