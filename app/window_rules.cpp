#include "app/window_rules.h"

#include <algorithm>

namespace velmora {

Point CentredOrigin(int screenWidth, int screenHeight, int width, int height) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

std::vector<std::size_t> TabOrder(const WindowRecord& record) {
    std::vector<std::size_t> order;
    for (std::size_t i = record.components.size(); i-- > 0;) {
        const ComponentRecord& c = record.components[i];
        if (c.kind != ComponentKind::Menu && c.visible && !c.disabled && c.tabStop)
            order.push_back(i);
    }
    // Collected in reverse record order; a stable sort keeps that order among equal indices.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return record.components[a].tabIndex < record.components[b].tabIndex;
    });
    return order;
}

std::size_t NextInTabOrder(const std::vector<std::size_t>& order, std::size_t current,
                           bool backwards) {
    const auto at = std::find(order.begin(), order.end(), current);
    if (at == order.end())
        return backwards ? order.back() : order.front();
    const std::size_t pos = static_cast<std::size_t>(at - order.begin());
    const std::size_t n = order.size();
    return order[backwards ? (pos + n - 1) % n : (pos + 1) % n];
}

} // namespace velmora
