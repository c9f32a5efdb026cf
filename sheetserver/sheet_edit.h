// What the server does to a worksheet: replace texts in its cells, and write it as CSV.
#pragma once

#include "sheetserver/workbook.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sheetserver {

// Replaces every occurrence of `what` in every cell's text, left to right; cells that become
// empty are dropped. An empty `what` changes nothing.
void ReplaceInCells(Worksheet& sheet, std::string_view what, std::string_view replacement);

// The sheet as comma-separated text in UTF-8: from A1 to the last row and column with content,
// every line with as many fields, CR LF after each line, and a field quoted only when it holds
// a comma, a quote, a CR or an LF. False, before anything is written, when the text could
// exceed `maxSize` bytes.
bool WriteCsv(const Worksheet& sheet, std::uint64_t maxSize, std::string& out);

// The same text handed to `sink` in pieces of whole lines, about 1 MiB each, so that a large
// sheet is never held twice.
bool WriteCsv(const Worksheet& sheet, std::uint64_t maxSize,
              const std::function<void(std::string_view)>& sink);

} // namespace sheetserver
