// The portable half of the window rules: placement and tab order.
#pragma once

#include "app/window_record.h"

#include <vector>

namespace velmora {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

// Top-left corner that centres a window of the given outer size on a screen of the given size.
// Signed division rounds toward zero; a negative result stays as it is.
Point CentredOrigin(int screenWidth, int screenHeight, int width, int height);

// Indices into record.components of the controls that take the focus by Tab: visible, enabled
// tab stops, by ascending tab index, equal tab indices in reverse record order.
std::vector<std::size_t> TabOrder(const WindowRecord& record);

// The next control of `order` after `current` (or before it when `backwards`), wrapping at both
// ends. A `current` outside the order starts from the first (or last) entry.
std::size_t NextInTabOrder(const std::vector<std::size_t>& order, std::size_t current,
                           bool backwards);

} // namespace velmora
