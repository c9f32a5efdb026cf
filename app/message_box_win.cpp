#include "app/message_box_win.h"

#include <string>

namespace velmora {

void ShowMessageBox(std::string_view text, std::uint32_t style, std::string_view title,
                    HWND owner) {
    const std::string textZ(text);
    const std::string titleZ(title);
    ::MessageBoxA(owner, textZ.c_str(), titleZ.c_str(), MessageBoxStyle(style));
}

void ShowFatalError(std::string_view text) {
    const std::string textZ(text);
    ::MessageBoxA(nullptr, textZ.c_str(), "Velmora", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

} // namespace velmora
