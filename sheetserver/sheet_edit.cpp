#include "sheetserver/sheet_edit.h"

#include <algorithm>

namespace sheetserver {

void ReplaceInCells(Worksheet& sheet, std::string_view what, std::string_view replacement) {
    if (what.empty())
        return;
    std::string replaced;
    for (Row& row : sheet.rows) {
        for (Cell& cell : row.cells) {
            std::size_t found = cell.text.find(what);
            if (found == std::string::npos)
                continue;
            replaced.clear();
            std::size_t from = 0;
            for (; found != std::string::npos; found = cell.text.find(what, from)) {
                replaced.append(cell.text, from, found - from).append(replacement);
                from = found + what.size();
            }
            replaced.append(cell.text, from);
            cell.text.swap(replaced);
        }
        std::erase_if(row.cells, [](const Cell& cell) { return cell.text.empty(); });
    }
    std::erase_if(sheet.rows, [](const Row& row) { return row.cells.empty(); });
}

bool WriteCsv(const Worksheet& sheet, std::uint64_t maxSize, std::string& out) {
    out.clear();
    if (sheet.rows.empty())
        return true;
    const std::uint64_t lastRow = sheet.rows.back().index;
    std::uint64_t lastColumn = 0, textSize = 0;
    for (const Row& row : sheet.rows) {
        lastColumn = std::max<std::uint64_t>(lastColumn, row.cells.back().column);
        for (const Cell& cell : row.cells)
            textSize += cell.text.size() * 2 + 2; // at worst every byte a doubled quote
    }
    // The separators and line ends alone, then the texts at their worst.
    const std::uint64_t bound = (lastRow + 1) * (lastColumn + 2) + textSize;
    if (bound > maxSize)
        return false;
    out.reserve(static_cast<std::size_t>(bound));
    const std::string emptyLine(static_cast<std::size_t>(lastColumn), ',');
    std::uint64_t line = 0;
    for (const Row& row : sheet.rows) {
        for (; line < row.index; ++line)
            out.append(emptyLine).append("\r\n");
        std::uint64_t column = 0;
        for (const Cell& cell : row.cells) {
            out.append(static_cast<std::size_t>(cell.column - column), ',');
            column = cell.column;
            if (cell.text.find_first_of(",\"\r\n") == std::string::npos) {
                out.append(cell.text);
                continue;
            }
            out += '"';
            for (char c : cell.text) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        }
        out.append(static_cast<std::size_t>(lastColumn - column), ',').append("\r\n");
        ++line;
    }
    return true;
}

} // namespace sheetserver
