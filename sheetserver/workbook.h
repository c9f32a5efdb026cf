// A workbook as the server holds it: each worksheet's non-empty cells as the texts that the
// spreadsheet shows, in UTF-8. A sheet keeps its cells in one array and their texts in one
// pool, so that a sheet of a million cells costs a few allocations, not a million.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sheetserver {

inline constexpr std::uint32_t kMaxRows = 1048576;
inline constexpr std::uint32_t kMaxColumns = 16384;

struct Cell {
    std::uint32_t row;    // 0-based
    std::uint32_t column; // 0-based
    std::uint32_t offset; // of the text in the sheet's pool
    std::uint32_t size;   // never 0
};

struct Worksheet {
    std::string name;
    std::vector<Cell> cells; // ascending by row, then column; no two alike
    std::string texts;       // the pool

    std::string_view Text(const Cell& cell) const { return {texts.data() + cell.offset, cell.size}; }
    // Appends a cell after the others; an empty text is no cell.
    void Add(std::uint32_t row, std::uint32_t column, std::string_view text) {
        if (text.empty())
            return;
        cells.push_back({row, column, static_cast<std::uint32_t>(texts.size()),
                         static_cast<std::uint32_t>(text.size())});
        texts.append(text);
    }
};

struct Workbook {
    std::vector<Worksheet> sheets;
    std::size_t activeSheet = 0;
};

} // namespace sheetserver
