#include "acquire/fetch.h"

#include "ui/list_port.h"

namespace velmora {

void OnFetchClicked(HandlerContext& context) {
    if (context.gameList)
        context.gameList->DeleteAllRows();
}

} // namespace velmora
