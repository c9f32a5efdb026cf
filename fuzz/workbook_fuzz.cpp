// Fuzz target: the .xlsx reader, the replaces and the CSV writer. An input that starts with
// "PK" is read as a whole ZIP container. Any other input becomes the XML of a workbook in a
// small stored ZIP: up to its first NUL byte the first worksheet, after it the shared strings.
// Reading must end, and never produce more than the caps allow.
#include "sheetserver/sheet_edit.h"
#include "sheetserver/workbook_reader.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::uint64_t kUnpackCap = 32 << 20;
constexpr std::uint64_t kCsvCap = 32 << 20;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void Put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A ZIP container of stored entries.
std::string StoredZip(const std::vector<std::pair<std::string, std::string_view>>& parts) {
    std::string zip, directory;
    for (const auto& [name, data] : parts) {
        const std::uint32_t crc = static_cast<std::uint32_t>(
            ::crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        std::string fields;
        Put16(fields, 20), Put16(fields, 0), Put16(fields, 0), Put32(fields, 0), Put32(fields, crc);
        Put32(fields, static_cast<std::uint32_t>(data.size())), Put32(fields, static_cast<std::uint32_t>(data.size()));
        Put16(fields, static_cast<unsigned>(name.size())), Put16(fields, 0);
        const std::uint32_t offset = static_cast<std::uint32_t>(zip.size());
        zip += "PK\x03\x04" + fields + name;
        zip.append(data);
        directory += "PK\x01\x02";
        Put16(directory, 20);
        directory += fields;
        Put16(directory, 0), Put16(directory, 0), Put16(directory, 0), Put32(directory, 0), Put32(directory, offset);
        directory += name;
    }
    const std::uint32_t at = static_cast<std::uint32_t>(zip.size());
    zip += directory + "PK\x05\x06";
    Put32(zip, 0), Put16(zip, static_cast<unsigned>(parts.size())), Put16(zip, static_cast<unsigned>(parts.size()));
    Put32(zip, static_cast<std::uint32_t>(directory.size())), Put32(zip, at), Put16(zip, 0);
    return zip;
}

constexpr std::string_view kWorkbook =
    "<workbook><workbookPr date1904=\"0\"/><sheets><sheet name=\"a\" r:id=\"rId1\"/></sheets></workbook>";
constexpr std::string_view kRelationships =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
constexpr std::string_view kStyles =
    "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/></numFmts>"
    "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/></cellXfs></styleSheet>";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string zip;
    if (input.substr(0, 2) == "PK") {
        zip = input;
    } else {
        const std::size_t split = std::min(input.find('\0'), input.size());
        zip = StoredZip({{"xl/workbook.xml", kWorkbook},
                         {"xl/_rels/workbook.xml.rels", kRelationships},
                         {"xl/styles.xml", kStyles},
                         {"xl/worksheets/sheet1.xml", input.substr(0, split)},
                         {"xl/sharedStrings.xml", input.substr(std::min(split + 1, input.size()))}});
    }
    sheetserver::Workbook book;
    std::string error;
    if (!sheetserver::ReadWorkbook(zip, kUnpackCap, book, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(!book.sheets.empty() && book.activeSheet < book.sheets.size());
    std::uint64_t text = 0;
    for (sheetserver::Worksheet& sheet : book.sheets) {
        for (std::size_t i = 0; i < sheet.cells.size(); ++i) {
            const sheetserver::Cell& cell = sheet.cells[i];
            Check(cell.size > 0 && cell.column < sheetserver::kMaxColumns && cell.row < sheetserver::kMaxRows);
            Check(std::uint64_t(cell.offset) + cell.size <= sheet.texts.size());
            Check(i == 0 || sheet.cells[i - 1].row < cell.row ||
                  (sheet.cells[i - 1].row == cell.row && sheet.cells[i - 1].column < cell.column));
            text += cell.size;
        }
        sheetserver::ReplaceInCells(sheet, "\n", "");
        sheetserver::ReplaceInCells(sheet, "\r", "");
        sheetserver::ReplaceInCells(sheet, ",", ";");
        std::string csv;
        if (!sheetserver::WriteCsv(sheet, kCsvCap, csv))
            continue;
        Check(csv.size() <= kCsvCap);
        // No cell holds a line break any more: one line per row, up to the last.
        std::size_t lines = 0;
        for (std::size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2))
            ++lines;
        Check(lines == (sheet.cells.empty() ? 0 : sheet.cells.back().row + 1));
    }
    Check(text <= kUnpackCap); // shared strings referenced many times count every time
    return 0;
}
