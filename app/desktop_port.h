// What the handlers need of the desktop: the message box, the clipboard, the shell, the popup.
#pragma once

#include "app/message_box.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class DesktopPort {
public:
    // Shows the program's message box without an owner and returns when it has been closed.
    virtual void ShowMessageBox(std::string_view text, std::uint32_t style,
                                std::string_view title = kDefaultMessageTitle) = 0;

protected:
    ~DesktopPort() = default;
};

} // namespace velmora
