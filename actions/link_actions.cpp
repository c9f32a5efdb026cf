#include "actions/link_actions.h"

namespace velmora {

void OnListRightClick(HandlerContext&) {}
void OnListDoubleClick(HandlerContext&, const PointerArgs&) {}
void OnOpenLinkSelected(HandlerContext&) {}
void OnCopyTitleSelected(HandlerContext&) {}
void OnCopyLinkSelected(HandlerContext&) {}

} // namespace velmora
