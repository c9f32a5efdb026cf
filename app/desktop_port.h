// What the handlers need of the desktop: the message box, the clipboard, the shell, the popup.
#pragma once

#include "app/message_box.h"
#include "app/window_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class DesktopPort {
public:
    // Shows the program's message box without an owner and returns when it has been closed.
    virtual void ShowMessageBox(std::string_view text, std::uint32_t style,
                                std::string_view title = kDefaultMessageTitle) = 0;
    // Replaces the clipboard's contents by the text (CF_TEXT); true when it now holds it.
    virtual bool CopyToClipboard(const std::string& text) = 0;
    // Hands the text to the shell's "open" action.
    virtual void ShellOpen(const std::string& text) = 0;
    // Pops up a menu of MainWindow's record at the mouse cursor, offset by (3, 3), and
    // returns when it has closed. A chosen item's handler runs afterwards, from the loop.
    virtual void PopUpMenu(Role menu) = 0;

protected:
    ~DesktopPort() = default;
};

// The text of a single-line edit box.
class TextBoxPort {
public:
    virtual std::string Text() const = 0;

protected:
    ~TextBoxPort() = default;
};

} // namespace velmora
