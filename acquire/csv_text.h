// The text rules of the catalogue file: fields of a line, and row numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Cuts a text at every occurrence of the separator that does not begin on the second byte of a
// two-byte character. What follows the last separator is a field only if it is not empty, and
// an empty text has no fields. Quotes have no meaning.
std::vector<std::string> SplitAtSeparator(std::string_view text, std::string_view separator);
// The same into `fields`, whose storage is reused from line to line.
void SplitAtSeparator(std::string_view text, std::string_view separator,
                      std::vector<std::string>& fields);

// The number as "%.13g" writes it.
std::string NumberToText(double number);

} // namespace velmora
