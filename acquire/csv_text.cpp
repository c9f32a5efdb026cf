#include "acquire/csv_text.h"

#include "acquire/byte_scan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace velmora {

std::vector<std::string> SplitAtSeparator(std::string_view text, std::string_view separator) {
    std::vector<std::string> fields;
    SplitAtSeparator(text, separator, fields);
    return fields;
}

void SplitAtSeparator(std::string_view text, std::string_view separator,
                      std::vector<std::string>& fields) {
    std::size_t count = 0;
    const auto add = [&](const char* from, const char* to) {
        if (count == fields.size())
            fields.emplace_back();
        fields[count++].assign(from, to);
    };
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    if (separator.empty()) {
        if (begin != end)
            add(begin, end);
        fields.resize(count);
        return;
    }
    const char first = separator[0];
    const std::size_t m = separator.size();
    const char* fieldStart = begin;
    const char* p = begin;
    while (p < end) {
        if (end - p >= 8) { // eight bytes at a time while they hold no separator nor pair
            const std::uint64_t word = LoadWord(p);
            if (!HasHighByte(word) && !HasByte(word, static_cast<unsigned char>(first))) {
                p += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(*p);
        if (c == static_cast<unsigned char>(first) && static_cast<std::size_t>(end - p) >= m &&
            (m == 1 || std::memcmp(p, separator.data(), m) == 0)) {
            add(fieldStart, p);
            p += m;
            fieldStart = p;
        } else {
            // A separator never starts on the second byte of a two-byte character: a byte of
            // 0x80 or above steps over the byte after it. Branch-free, for mixed texts.
            p += 1 + (c >> 7);
        }
    }
    if (fieldStart < end)
        add(fieldStart, end);
    fields.resize(count);
}

std::string NumberToText(double number) {
    // Whole numbers below 10^13 are written in full by "%.13g": the common case of row numbers,
    // written here without the cost of the formatter.
    if (number == std::trunc(number) && std::fabs(number) < 1e13 && !std::signbit(number)) {
        char digits[24];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, static_cast<long long>(number));
        return std::string(digits, result.ptr);
    }
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%.13g", number);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

} // namespace velmora
