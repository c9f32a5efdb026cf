#include "actions/link_actions.h"

#include "app/clipboard_text.h"
#include "app/desktop_port.h"
#include "ui/game_list_columns.h"
#include "ui/list_port.h"

#include <array>

namespace velmora {
namespace {

// The catalogue comes over plain HTTP from a server we do not control, and the shell's
// "open" starts whatever it is given: programs, files on shares, protocol handlers. Only the
// schemes of web and download links are handed on.
constexpr std::array<std::string_view, 6> kOpenableSchemes{
    "http", "https", "ftp", "magnet", "ed2k", "thunder",
};

constexpr std::string_view kLinkIs = "链接为";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != b[i])
            return false;
    }
    return true;
}

void CopyCell(HandlerContext& context, int column) {
    const int row = context.gameList->SelectedRow(); // -1 included: its cells read empty
    ClipboardText = context.gameList->GetCellText(row, column);
    context.desktop->CopyToClipboard(ClipboardText);
}

} // namespace

bool IsOpenableLink(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view scheme = text.substr(0, colon);
    for (std::string_view allowed : kOpenableSchemes) {
        if (EqualsIgnoringAsciiCase(scheme, allowed))
            return true;
    }
    return false;
}

void OpenLink(DesktopPort& desktop, const std::string& text) {
    if (IsOpenableLink(text))
        desktop.ShellOpen(text);
}

void OnListRightClick(HandlerContext& context) { context.desktop->PopUpMenu(Role::ContextMenu); }

void OnListDoubleClick(HandlerContext& context, const PointerArgs&) {
    const int row = context.gameList->SelectedRow();
    if (row == kNoRow)
        return;
    OpenLink(*context.desktop, context.gameList->GetCellText(row, kColumnLink));
}

void OnOpenLinkSelected(HandlerContext& context) {
    const int row = context.gameList->SelectedRow();
    if (row == kNoRow)
        return;
    const std::string link = context.gameList->GetCellText(row, kColumnLink);
    context.desktop->ShowMessageBox(std::string(kLinkIs) + link, 0);
    OpenLink(*context.desktop, link);
}

void OnCopyTitleSelected(HandlerContext& context) { CopyCell(context, kColumnGameName); }

void OnCopyLinkSelected(HandlerContext& context) { CopyCell(context, kColumnLink); }

} // namespace velmora
