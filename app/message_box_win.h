#pragma once

#include "app/desktop_port.h"

#include <windows.h>

namespace velmora {

// The program's message box: the given title or "信息：", task-modal unless system-modal.
void ShowMessageBox(std::string_view text, std::uint32_t style,
                    std::string_view title = kDefaultMessageTitle, HWND owner = nullptr);

// Fatal error report: an error box without owner naming the error.
void ShowFatalError(std::string_view text);

} // namespace velmora
