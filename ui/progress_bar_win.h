// ProgressBar: a progress-bar control that draws its filled fraction itself, at once and
// exactly. The standard drawing animates towards a new position under visual styles, and
// would repaint for every change of position; this one repaints only when the filled width in
// pixels changes, and before the message that changed it returns.
#pragma once

#include "app/window_record.h"

#include <windows.h>

namespace velmora {

HWND CreateProgressBar(HWND parent, const ComponentRecord& record, DWORD commonStyle, HMENU id,
                       HINSTANCE instance);

// How often the bar has painted itself since it was created.
int ProgressBarPaintCount(HWND bar);

} // namespace velmora
