#include "app/window_record.h"

namespace velmora {

std::optional<HandlerId> BoundHandler(const ComponentRecord& component, int event) {
    for (const EventBinding& binding : component.bindings) {
        if (binding.event == event)
            return binding.handler;
    }
    return std::nullopt;
}

const ComponentRecord* FindComponent(const WindowRecord& record, Role role) {
    for (const ComponentRecord& component : record.components) {
        if (component.role == role)
            return &component;
    }
    return nullptr;
}

} // namespace velmora
