#include "app/bindings.h"

#include "acquire/fetch.h"
#include "actions/link_actions.h"
#include "actions/search.h"

namespace velmora {

void RunHandler(HandlerId handler, HandlerContext& context, const PointerArgs& args) {
    switch (handler) {
    case HandlerId::FetchClicked:
        return OnFetchClicked(context);
    case HandlerId::SearchClicked:
        return OnSearchClicked(context);
    case HandlerId::ListRightClick:
        return OnListRightClick(context);
    case HandlerId::ListDoubleClick:
        return OnListDoubleClick(context, args);
    case HandlerId::OpenLinkSelected:
        return OnOpenLinkSelected(context);
    case HandlerId::CopyTitleSelected:
        return OnCopyTitleSelected(context);
    case HandlerId::CopyLinkSelected:
        return OnCopyLinkSelected(context);
    }
}

} // namespace velmora
