#include "sheetserver/sheet_edit.h"

#include <algorithm>

namespace sheetserver {

void ReplaceInCells(Worksheet& sheet, std::string_view what, std::string_view replacement) {
    // Most replaces find nothing at all: one search of the pool tells.
    if (what.empty() || sheet.texts.find(what) == std::string::npos)
        return;
    if (replacement.size() <= what.size()) {
        // The texts only shrink: each is rewritten in its own place in the pool.
        for (Cell& cell : sheet.cells) {
            char* text = sheet.texts.data() + cell.offset;
            const std::string_view view(text, cell.size);
            std::size_t found = view.find(what);
            if (found == std::string_view::npos)
                continue;
            std::size_t to = found, from = found;
            for (; found != std::string_view::npos; found = view.find(what, from)) {
                std::copy(text + from, text + found, text + to);
                to += found - from;
                std::copy(replacement.begin(), replacement.end(), text + to);
                to += replacement.size();
                from = found + what.size();
            }
            std::copy(text + from, text + cell.size, text + to);
            cell.size = static_cast<std::uint32_t>(to + cell.size - from);
        }
        std::erase_if(sheet.cells, [](const Cell& cell) { return cell.size == 0; });
        return;
    }
    std::string texts;
    texts.reserve(sheet.texts.size());
    std::vector<Cell> cells;
    cells.reserve(sheet.cells.size());
    for (const Cell& cell : sheet.cells) {
        const std::string_view text = sheet.Text(cell);
        const std::size_t start = texts.size();
        std::size_t from = 0;
        for (std::size_t found = text.find(what); found != std::string_view::npos; found = text.find(what, from)) {
            texts.append(text.substr(from, found - from)).append(replacement);
            from = found + what.size();
        }
        texts.append(text.substr(from));
        if (texts.size() > start)
            cells.push_back({cell.row, cell.column, static_cast<std::uint32_t>(start),
                             static_cast<std::uint32_t>(texts.size() - start)});
    }
    sheet.cells = std::move(cells);
    sheet.texts = std::move(texts);
}

bool WriteCsv(const Worksheet& sheet, std::uint64_t maxSize, std::string& out) {
    out.clear();
    return WriteCsv(sheet, maxSize, [&](std::string_view piece) { out.append(piece); });
}

bool WriteCsv(const Worksheet& sheet, std::uint64_t maxSize,
              const std::function<void(std::string_view)>& sink) {
    if (sheet.cells.empty())
        return true;
    const std::uint64_t lastRow = sheet.cells.back().row;
    std::uint64_t lastColumn = 0;
    for (const Cell& cell : sheet.cells)
        lastColumn = std::max<std::uint64_t>(lastColumn, cell.column);
    // The separators and line ends alone, then the texts at their worst (every byte a quote).
    const std::uint64_t bound = (lastRow + 1) * (lastColumn + 2) + sheet.texts.size() * 2 + sheet.cells.size() * 2;
    if (bound > maxSize)
        return false;
    constexpr std::size_t kPiece = 1 << 20;
    std::string out;
    out.reserve(kPiece + 4096);
    std::uint64_t row = 0, column = 0;
    auto endLine = [&] {
        out.append(static_cast<std::size_t>(lastColumn - column), ',').append("\r\n");
        ++row;
        column = 0;
        if (out.size() >= kPiece) {
            sink(out);
            out.clear();
        }
    };
    for (const Cell& cell : sheet.cells) {
        while (row < cell.row)
            endLine();
        out.append(static_cast<std::size_t>(cell.column - column), ',');
        column = cell.column;
        const std::string_view text = sheet.Text(cell);
        if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
            out.append(text);
            continue;
        }
        out += '"';
        for (char c : text) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    endLine();
    if (!out.empty())
        sink(out);
    return true;
}

} // namespace sheetserver
