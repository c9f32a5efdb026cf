// The binding table: which routine answers each handler of the window records.
#pragma once

#include "app/handler_context.h"
#include "app/window_record.h"

namespace velmora {

void RunHandler(HandlerId handler, HandlerContext& context, const PointerArgs& args);

} // namespace velmora
