#include "app/desktop_win.h"

#include "app/message_box_win.h"

namespace velmora {

void Win32Desktop::ShowMessageBox(std::string_view text, std::uint32_t style,
                                  std::string_view title) {
    velmora::ShowMessageBox(text, style, title, nullptr);
}

} // namespace velmora
