#include "acquire/csv_text.h"

#include <cstdio>
#include <cstring>

namespace velmora {

std::vector<std::string> SplitAtSeparator(std::string_view text, std::string_view separator) {
    std::vector<std::string> fields;
    if (text.empty())
        return fields;
    if (separator.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    const std::size_t n = text.size();
    const std::size_t m = separator.size();
    std::size_t fieldStart = 0;
    std::size_t i = 0;
    while (i < n) {
        if (text[i] == separator[0] && n - i >= m &&
            std::memcmp(text.data() + i, separator.data(), m) == 0) {
            fields.emplace_back(text.substr(fieldStart, i - fieldStart));
            i += m;
            fieldStart = i;
            continue;
        }
        i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    }
    if (fieldStart < n)
        fields.emplace_back(text.substr(fieldStart));
    return fields;
}

std::string NumberToText(double number) {
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%.13g", number);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

} // namespace velmora
