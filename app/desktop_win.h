#pragma once

#include "app/desktop_port.h"

namespace velmora {

// The Desktop port over the Windows desktop.
class Win32Desktop final : public DesktopPort {
public:
    void ShowMessageBox(std::string_view text, std::uint32_t style,
                        std::string_view title) override;
};

} // namespace velmora
