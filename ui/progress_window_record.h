#pragma once

#include "app/window_record.h"

namespace velmora {

// ProgressWindow: a captioned window without control box holding ProgressBar.
extern const WindowRecord kProgressWindowRecord;

} // namespace velmora
