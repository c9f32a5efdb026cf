#pragma once

#include "app/window_record.h"

namespace velmora {

// MainWindow: the list, two buttons, the search box, two labels and the hidden context menu.
extern const WindowRecord kMainWindowRecord;

} // namespace velmora
