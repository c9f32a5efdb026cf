// Window records: constant descriptions of a window and its components. The Win32 layer
// builds windows from them; portable code reads them for the tab order and the bindings.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velmora {

enum class ComponentKind { Label, PushButton, EditBox, ReportList, ProgressBar, Menu };

// Every control and menu of the program, by its role.
enum class Role {
    AuthorLabel,
    NoticeLabel,
    ContextMenu,
    SearchButton,
    SearchBox,
    FetchButton,
    GameList,
    ProgressBar,
};

// The handlers of the program; the binding table maps each to its routine.
enum class HandlerId {
    FetchClicked,
    SearchClicked,
    ListRightClick,
    ListDoubleClick,
    OpenLinkSelected,
    CopyTitleSelected,
    CopyLinkSelected,
};

// Event numbers as the records use them.
inline constexpr int kEventClick = 0;
inline constexpr int kEventRightClick = 5;
inline constexpr int kEventLeftDoubleClick = -3;

// How a label lays out its text.
enum class TextLayout {
    SingleLineCentredVertically, // one line, centred vertically
    WordBreak,                   // from the top-left corner, wrapped at word boundaries
};

struct EventBinding {
    int event;
    HandlerId handler;
};

struct MenuItemRecord {
    std::string_view caption = {};
    HandlerId handler;
};

struct ComponentRecord {
    ComponentKind kind;
    Role role;
    std::string_view recordName = {};
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = true;
    bool disabled = false;
    bool tabStop = false;
    int tabIndex = 0;
    std::string_view text = {};
    std::span<const EventBinding> bindings = {};
    // Labels: text colour as a COLORREF (0x00BBGGRR) and layout.
    std::uint32_t textColour = 0;
    TextLayout layout = TextLayout::WordBreak;
    // Menus: hidden from the menu bar, and their items.
    bool hidden = false;
    std::span<const MenuItemRecord> items = {};
};

struct WindowRecord {
    std::string_view caption = {};
    int x = 50, y = 50; // recorded place, unused when centred
    int width = 0, height = 0;
    bool centred = true;
    bool controlBox = true;
    bool minimizeBox = false;
    bool maximizeBox = false;
    bool movable = true;
    bool showInTaskbar = true;
    bool alwaysOnTop = false;
    bool escCloses = true;
    bool enterMovesFocus = false;
    bool f1Help = false;
    bool visible = true;
    std::span<const ComponentRecord> components = {};
};

// The handler bound to `event` of `component`, if any.
std::optional<HandlerId> BoundHandler(const ComponentRecord& component, int event);

// The component of `record` with `role`, or null.
const ComponentRecord* FindComponent(const WindowRecord& record, Role role);

} // namespace velmora
