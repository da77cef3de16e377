// libFuzzer target: the backup file reader on arbitrary bytes. Every token is read back through the
// accessors so that a stale or out-of-range state would show up under the sanitizers.
#include "backup/xml_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CXmlReader reader;
    reader.SetShowErrors(true);
    std::size_t shown = 0;
    reader.SetErrorDisplay([&shown](const std::string& text) { shown += text.size(); });
    reader.SetText(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t total = 0;
    while (reader.ReadNext()) {
        std::string name;
        std::string value;
        reader.GetAttribute(name, value);
        total += name.size() + value.size() + reader.GetElementName().size() + reader.GetText().size() +
                 reader.GetDeclaration().size() + static_cast<std::size_t>(reader.GetTokenType());
    }
    reader.Close();
    return total == static_cast<std::size_t>(-1) ? 1 : 0;
}
