#include "actions/search.h"

namespace velmora {

void OnSearchClicked(HandlerContext&) {}

} // namespace velmora
