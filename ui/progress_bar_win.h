// ProgressBar: a progress-bar control that draws its filled fraction itself, at once and
// exactly. The standard drawing animates towards a new position under visual styles, and
// would repaint for every change of position; this one repaints only when the filled width in
// pixels changes, and before the message that changed it returns.
#pragma once

#include "app/window_record.h"

#include <windows.h>

#include <cstdint>

namespace velmora {

HWND CreateProgressBar(HWND parent, const ComponentRecord& record, DWORD commonStyle, HMENU id,
                       HINSTANCE instance);

// PBM_SETRANGE32 and PBM_SETPOS without the cost of a message, for a load's every line.
void SetProgressBarRange(HWND bar, std::int32_t minimum, std::int32_t maximum);
void SetProgressBarPosition(HWND bar, std::int32_t position);

// How often the bar has painted itself since it was created.
int ProgressBarPaintCount(HWND bar);

} // namespace velmora
