#pragma once

#include "app/handler_context.h"

namespace velmora {

void OnListRightClick(HandlerContext& context);
void OnListDoubleClick(HandlerContext& context, const PointerArgs& args);
void OnOpenLinkSelected(HandlerContext& context);
void OnCopyTitleSelected(HandlerContext& context);
void OnCopyLinkSelected(HandlerContext& context);

} // namespace velmora
