#pragma once

#include "acquire/files_port.h"
#include "ui/list_port.h"
#include "ui/progress_port.h"

#include <cstdint>
#include <span>
#include <string>

namespace velmora {

inline constexpr std::string_view kMissingField = "【请检查数据！】";

struct CsvLoadPorts {
    ListPort& list;
    ProgressPort& progress;
    FilesPort& files;
};

// Appends one row to the list for every line of the file from line `firstDataRow` on: its
// 1-based number in column 0, and in column j the field that entry j of `columnMap` names.
// The progress bar counts the bytes of the lines loaded. The file is closed on every way out.
void LoadCsvRows(const CsvLoadPorts& ports, const std::string& path, std::int32_t firstDataRow,
                 std::span<const std::int32_t> columnMap);

} // namespace velmora
