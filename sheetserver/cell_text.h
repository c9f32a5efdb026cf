// How cell values become the texts a spreadsheet shows: numbers in the General format, dates
// as yyyy-mm-dd, and the _xHHHH_ escapes of stored strings.
#pragma once

#include <string>
#include <string_view>

namespace sheetserver {

// A stored number, as the General format shows it: integers without a fraction, at most 15
// significant digits. False when `stored` is not a number.
bool GeneralNumberText(std::string_view stored, std::string& out);

// A serial day number as yyyy-mm-dd; false when it lies outside the years 1900 (1904) to 9999.
// The 1900 system keeps the spreadsheet's fictional 29 February 1900 (serial 60).
bool DateText(double serial, bool system1904, std::string& out);

// Whether a number format shows a date: the built-in date formats, and codes that use day or
// year outside quoted text, escapes and brackets.
bool IsDateFormat(int numberFormatId, std::string_view formatCode);

// Replaces the _xHHHH_ escapes of a stored string (UTF-16 code units) in place.
void UnescapeStoredText(std::string& text);

} // namespace sheetserver
