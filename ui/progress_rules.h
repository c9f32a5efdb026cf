// How much of the progress bar is filled.
#pragma once

#include <algorithm>
#include <cstdint>

namespace velmora {

// The position held within the range from the minimum to the larger of minimum and maximum.
constexpr std::int32_t ShownPosition(std::int32_t minimum, std::int32_t maximum,
                                     std::int32_t position) {
    return std::clamp(position, minimum, std::max(minimum, maximum));
}

// Filled pixels of a bar `width` pixels wide: the shown fraction of the range, rounded down.
// Nothing is filled when minimum and maximum are equal.
constexpr int FilledWidth(int width, std::int32_t minimum, std::int32_t maximum,
                          std::int32_t position) {
    const std::int64_t low = std::min(minimum, maximum);
    const std::int64_t high = std::max(minimum, maximum);
    if (high == low || width <= 0)
        return 0;
    const std::int64_t shown = std::clamp<std::int64_t>(position, low, high);
    return static_cast<int>(width * (shown - low) / (high - low));
}

} // namespace velmora
