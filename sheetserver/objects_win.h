// The server's object model: Application, Workbooks, Workbook, Sheets, Worksheet and Range,
// as far as the fetch uses it.
#pragma once

#include "sheetserver/dispatch_win.h"

namespace sheetserver {

// A new Application with one reference and no open workbooks.
DispatchObject* NewApplication();

} // namespace sheetserver
