// Reads an .xlsx workbook (Office Open XML spreadsheet) from its bytes.
#pragma once

#include "sheetserver/workbook.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sheetserver {

// False, with a short description in `error`, when the data is not a readable workbook or
// unpacks into more than `maxUnpacked` bytes.
bool ReadWorkbook(std::string_view data, std::uint64_t maxUnpacked, Workbook& book,
                  std::string& error);

} // namespace sheetserver
