#include "sheetserver/cell_text.h"

#include "sheetserver/utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sheetserver {
namespace {

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

// The code unit of an escape "_xHHHH_" at `at`, or -1.
int EscapeAt(std::string_view text, std::size_t at) {
    if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_')
        return -1;
    int value = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Days from 1 March of year 0 to the civil date, and back (proleptic Gregorian).
void CivilFromDays(long long days, int& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

} // namespace

bool GeneralNumberText(std::string_view stored, std::string& out) {
    // The common case, a plain integer of up to 15 digits, stands as it is.
    const std::string_view digits = stored.substr(!stored.empty() && stored[0] == '-' ? 1 : 0);
    if (digits.size() <= 15 && AllDigits(digits) && (digits[0] != '0' || stored == "0")) {
        out.append(stored);
        return true;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(stored.data(), stored.data() + stored.size(), value);
    if (error != std::errc() || end != stored.data() + stored.size() || !std::isfinite(value))
        return false;
    if (value == 0)
        value = 0; // no "-0"
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%.15G", value);
    out.append(buffer, static_cast<std::size_t>(length));
    return true;
}

bool DateText(double serial, bool system1904, std::string& out) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return false;
    const long long whole = static_cast<long long>(std::floor(serial));
    int year = 0;
    unsigned month = 0, day = 0;
    if (system1904) {
        CivilFromDays(whole - 24107, year, month, day); // serial 0 = 1904-01-01
    } else if (whole == 0) {
        year = 1900, month = 1, day = 0;                // the spreadsheet's "1900-01-00"
    } else if (whole == 60) {
        year = 1900, month = 2, day = 29;
    } else {
        // Serial 1 is 1900-01-01; from serial 61 on, the fictional leap day is skipped.
        CivilFromDays(whole - (whole < 60 ? 25568 : 25569), year, month, day);
    }
    if (year > 9999)
        return false;
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", year, month, day);
    out.append(buffer, static_cast<std::size_t>(length));
    return true;
}

bool IsDateFormat(int numberFormatId, std::string_view code) {
    if ((numberFormatId >= 14 && numberFormatId <= 17) || numberFormatId == 22 ||
        (numberFormatId >= 27 && numberFormatId <= 36) || (numberFormatId >= 50 && numberFormatId <= 58))
        return true;
    const std::size_t section = code.find(';');
    code = code.substr(0, section);
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // an escaped, padded or repeated character
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (c == 'd' || c == 'D' || c == 'y' || c == 'Y') {
            return true;
        }
    }
    return false;
}

void UnescapeStoredText(std::string& text) {
    if (text.find("_x") == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int unit = EscapeAt(text, i);
        if (unit < 0) {
            out += text[i++];
            continue;
        }
        i += 7;
        char32_t c = static_cast<char32_t>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const int low = EscapeAt(text, i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
                i += 7;
            } else {
                c = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c != 0)
            AppendUtf8(c, out);
    }
    text = std::move(out);
}

} // namespace sheetserver
