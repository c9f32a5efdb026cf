#pragma once

#include "acquire/automation_port.h"
#include "acquire/files_port.h"
#include "app/handler_context.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

class DesktopPort;
class ListPort;
class ProgressPort;

inline constexpr std::string_view kSpreadsheetProgId = "Excel.Application";
inline constexpr std::int32_t kSheetIndex = 1;
inline constexpr std::int32_t kFirstDataRow = 16;
inline constexpr std::int32_t kCsvFileFormat = 6; // SaveAs file format: comma-separated text

// What a fetch works through. `drawNumber` yields a uniform draw from 100000 to 999999.
struct FetchPorts {
    AutomationPort& automation;
    FilesPort& files;
    ProgressPort& progress;
    DesktopPort& desktop;
    std::function<std::int32_t()> drawNumber;
};

// The temporary file's name: the temporary folder (with a backslash after it), "template", a
// six-digit number and ".csv". A name that is taken is drawn again, a bounded number of times,
// so that a fetch never reads a file it did not have written; empty when every draw was taken.
std::string MakeTempCsvPath(FilesPort& files, const std::function<std::int32_t()>& drawNumber);

// Has the spreadsheet application convert the workbook at `url` into a temporary CSV file,
// loads that file into the list and deletes it. A url that does not end in "xlsx" is refused
// with a message; every other failure leaves the list as it is, without a message.
void ImportWorkbook(const FetchPorts& ports, ListPort& list, std::string_view url,
                    std::int32_t sheetIndex, std::int32_t firstDataRow,
                    std::span<const std::int32_t> columnMap);

// Click of FetchButton: empties GameList and loads the catalogue into it.
void OnFetchClicked(HandlerContext& context);

} // namespace velmora
