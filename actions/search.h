#pragma once

#include "app/handler_context.h"

#include <string_view>

namespace velmora {

// Whether `text` holds `searched`, byte for byte, at a character start: a match never begins on
// the second byte of a two-byte character. An empty search text is in every non-empty text.
bool ContainsText(std::string_view text, std::string_view searched);

// Click of SearchButton: selects the next row after the selected one whose game name holds the
// search text, wrapping to the top once; gives the list the focus and scrolls the row into view.
void OnSearchClicked(HandlerContext& context);

} // namespace velmora
