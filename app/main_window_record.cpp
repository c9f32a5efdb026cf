#include "app/main_window_record.h"

#include <array>

namespace velmora {
namespace {

constexpr std::uint32_t kRed = 0x000000FF; // COLORREF of RGB(255, 0, 0)

constexpr std::array kSearchButtonBindings{EventBinding{kEventClick, HandlerId::SearchClicked}};
constexpr std::array kFetchButtonBindings{EventBinding{kEventClick, HandlerId::FetchClicked}};
constexpr std::array kGameListBindings{
    EventBinding{kEventRightClick, HandlerId::ListRightClick},
    EventBinding{kEventLeftDoubleClick, HandlerId::ListDoubleClick},
};
constexpr std::array kContextMenuItems{
    MenuItemRecord{"打开链接", HandlerId::OpenLinkSelected},
    MenuItemRecord{"复制标题", HandlerId::CopyTitleSelected},
    MenuItemRecord{"复制链接", HandlerId::CopyLinkSelected},
};

// In record order, which is the order of creation.
constexpr std::array kComponents{
    ComponentRecord{.kind = ComponentKind::Label,
                    .role = Role::AuthorLabel,
                    .recordName = "标签2",
                    .x = 672, .y = 440, .width = 144, .height = 24,
                    .text = "作者：Quessel   版本：0.1",
                    .textColour = kRed,
                    .layout = TextLayout::SingleLineCentredVertically},
    ComponentRecord{.kind = ComponentKind::Label,
                    .role = Role::NoticeLabel,
                    .recordName = "标签1",
                    .x = 624, .y = 8, .width = 120, .height = 40,
                    .text = "游戏资源来源于网络\r\n作者仅收集\r\n请在下载24内删除",
                    .textColour = kRed,
                    .layout = TextLayout::WordBreak},
    ComponentRecord{.kind = ComponentKind::Menu,
                    .role = Role::ContextMenu,
                    .recordName = "",
                    .text = "菜单",
                    .hidden = true,
                    .items = kContextMenuItems},
    ComponentRecord{.kind = ComponentKind::PushButton,
                    .role = Role::SearchButton,
                    .recordName = "按钮2",
                    .x = 512, .y = 8, .width = 80, .height = 32,
                    .tabStop = true,
                    .text = "标题查找",
                    .bindings = kSearchButtonBindings},
    ComponentRecord{.kind = ComponentKind::EditBox,
                    .role = Role::SearchBox,
                    .recordName = "编辑框1",
                    .x = 280, .y = 8, .width = 216, .height = 32,
                    .tabStop = true},
    ComponentRecord{.kind = ComponentKind::PushButton,
                    .role = Role::FetchButton,
                    .recordName = "按钮1",
                    .x = 32, .y = 8, .width = 184, .height = 32,
                    .tabStop = true,
                    .text = "云端获取列表",
                    .bindings = kFetchButtonBindings},
    ComponentRecord{.kind = ComponentKind::ReportList,
                    .role = Role::GameList,
                    .recordName = "超级列表框1",
                    .x = 8, .y = 56, .width = 808, .height = 384,
                    .tabStop = true,
                    .bindings = kGameListBindings},
};

} // namespace

const WindowRecord kMainWindowRecord{
    .caption = "Velmora",
    .width = 831,
    .height = 514,
    .controlBox = true,
    .minimizeBox = true,
    .maximizeBox = false,
    .components = kComponents,
};

} // namespace velmora
