#include "app/desktop_win.h"

#include "app/message_box_win.h"

#include <shellapi.h>

#include <cstring>

namespace velmora {
namespace {

// The clipboard, open for the life of the object.
class ClipboardScope {
public:
    ClipboardScope() : open_(::OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardScope() {
        if (open_)
            ::CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

// A global memory block, freed unless handed over.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : block_(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {}
    ~GlobalBlock() {
        if (block_)
            ::GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL Get() const { return block_; }
    void Release() { block_ = nullptr; } // the clipboard owns it now

private:
    HGLOBAL block_;
};

// A popup menu, destroyed when the object goes.
class PopupMenu {
public:
    PopupMenu() : menu_(::CreatePopupMenu()) {}
    ~PopupMenu() {
        if (menu_)
            ::DestroyMenu(menu_);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

} // namespace

void Win32Desktop::ShowMessageBox(std::string_view text, std::uint32_t style,
                                  std::string_view title) {
    velmora::ShowMessageBox(text, style, title, nullptr);
}

bool Win32Desktop::CopyToClipboard(const std::string& text) {
    ClipboardScope clipboard;
    if (!clipboard.Open())
        return false; // another program holds it: its contents stay
    ::EmptyClipboard();
    GlobalBlock block(text.size() + 1);
    if (!block.Get())
        return false;
    void* bytes = ::GlobalLock(block.Get());
    if (!bytes)
        return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(block.Get());
    if (!::SetClipboardData(CF_TEXT, block.Get()))
        return false;
    block.Release();
    return true;
}

void Win32Desktop::ShellOpen(const std::string& text) {
    ::ShellExecuteA(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Desktop::PopUpMenu(Role role) {
    if (!mainWindow_)
        return;
    const auto& components = mainWindow_->record->components;
    for (std::size_t component = 0; component < components.size(); ++component) {
        const ComponentRecord& menu = components[component];
        if (menu.role != role || menu.kind != ComponentKind::Menu)
            continue;
        PopupMenu popup; // built afresh for every popup
        if (!popup.Get())
            return;
        for (std::size_t item = 0; item < menu.items.size(); ++item) {
            const std::string caption(menu.items[item].caption);
            ::AppendMenuA(popup.Get(), MF_STRING, MenuCommandId(component, item), caption.c_str());
        }
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // Without TPM_RETURNCMD the choice comes back as a posted WM_COMMAND, so its handler
        // runs after the menu has closed and this handler has returned.
        ::TrackPopupMenu(popup.Get(), TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                         cursor.x + 3, cursor.y + 3, 0, mainWindow_->hwnd, nullptr);
        return;
    }
}

std::string Win32TextBox::Text() const {
    const int length = ::GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hwnd_, text.data(), length + 1)));
    return text;
}

} // namespace velmora
