#include "acquire/csv_loader.h"

#include "acquire/csv_text.h"
#include "acquire/text_file_reader.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr std::string_view kSeparator = ",";

} // namespace

void LoadCsvRows(const CsvLoadPorts& ports, const std::string& path, std::int32_t firstDataRow,
                 std::span<const std::int32_t> columnMap) {
    const std::int32_t fileSize = ports.files.FileSize(path);
    TextFileReader reader(ports.files, path); // closes the file on every way out

    // One line and one field list, their storage reused from line to line.
    std::string line;
    std::vector<std::string> fields;
    for (std::int32_t i = 1; i < firstDataRow; ++i) {
        if (reader.AtEnd())
            return;
        reader.ReadLine(line);
        SplitAtSeparator(line, kSeparator, fields);
    }

    ports.progress.ShowProgressWindow();
    ports.progress.SetProgressMaximum(fileSize);
    std::int32_t bytesLoaded = 0;
    const std::string missing(kMissingField);
    while (!reader.AtEnd()) {
        reader.ReadLine(line);
        SplitAtSeparator(line, kSeparator, fields);
        // The running count stays within 32 bits; files of 2 GiB and more are out of range.
        bytesLoaded = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{bytesLoaded} + std::ssize(line), INT32_MAX));
        const std::size_t n = std::min(columnMap.size(), fields.size());
        ports.progress.SetProgressPosition(bytesLoaded);
        const int row = ports.list.InsertRow();
        ports.list.SetCellText(row, 0, NumberToText(row + 1.0));
        for (std::size_t j = 1; j <= n; ++j) {
            const std::int32_t k = columnMap[j - 1];
            const bool present = k >= 1 && static_cast<std::size_t>(k) <= fields.size();
            ports.list.SetCellText(row, static_cast<int>(j), present ? fields[k - 1] : missing);
        }
    }
    ports.progress.DestroyProgressWindow();
}

} // namespace velmora
