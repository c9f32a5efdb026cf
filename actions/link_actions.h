#pragma once

#include "app/handler_context.h"

#include <string>
#include <string_view>

namespace velmora {

class DesktopPort;

// Whether a text is a web or download link that may go to the shell: a scheme of the
// allow-list, in any case, followed by ":".
bool IsOpenableLink(std::string_view text);

// Hands a link to the shell's "open" action, when it is openable; anything else is dropped
// without a word, as a link that the shell fails to open.
void OpenLink(DesktopPort& desktop, const std::string& text);

void OnListRightClick(HandlerContext& context);
void OnListDoubleClick(HandlerContext& context, const PointerArgs& args);
void OnOpenLinkSelected(HandlerContext& context);
void OnCopyTitleSelected(HandlerContext& context);
void OnCopyLinkSelected(HandlerContext& context);

} // namespace velmora
