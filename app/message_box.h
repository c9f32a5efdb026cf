// The program's only message box, and the style rule it applies.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kDefaultMessageTitle = "信息：";
inline constexpr std::uint32_t kMessageBoxSystemModal = 0x1000; // MB_SYSTEMMODAL
inline constexpr std::uint32_t kMessageBoxTaskModal = 0x2000;   // MB_TASKMODAL

// The MessageBoxA style for a given style value: task-modal unless system-modal was asked for.
constexpr std::uint32_t MessageBoxStyle(std::uint32_t style) {
    return (style & kMessageBoxSystemModal) ? style : style | kMessageBoxTaskModal;
}

} // namespace velmora
