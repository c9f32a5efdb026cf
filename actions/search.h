#pragma once

#include "app/handler_context.h"

namespace velmora {

// Click of SearchButton: selects the next row whose game name holds the search text.
void OnSearchClicked(HandlerContext& context);

} // namespace velmora
