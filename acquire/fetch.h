#pragma once

#include "app/handler_context.h"

namespace velmora {

// Click of FetchButton: empties GameList and loads the catalogue into it.
void OnFetchClicked(HandlerContext& context);

} // namespace velmora
