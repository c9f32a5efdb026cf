// A workbook as the server holds it: each worksheet's non-empty cells as the texts that the
// spreadsheet shows, in UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sheetserver {

inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr std::uint32_t kMaxColumns = 16384;

struct Cell {
    std::uint32_t column; // 0-based
    std::string text;
};

struct Row {
    std::uint32_t index;     // 0-based
    std::vector<Cell> cells; // ascending columns, no two alike
};

struct Worksheet {
    std::string name;
    std::vector<Row> rows; // ascending indexes, no two alike
};

struct Workbook {
    std::vector<Worksheet> sheets;
    std::size_t activeSheet = 0;
};

} // namespace sheetserver
