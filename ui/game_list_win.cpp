#include "ui/game_list_win.h"

#include "ui/game_list_columns.h"

#include <commctrl.h>

#include <array>
#include <climits>
#include <vector>

namespace velmora {
namespace {

constexpr DWORD kListStyle =
    WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT | LVS_SINGLESEL;
constexpr DWORD kListExtendedStyle =
    LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kColumnCount = static_cast<int>(kGameListColumns.size());
constexpr std::size_t kFirstTextBuffer = 512;

bool ColumnExists(int column) { return column >= 0 && column < kColumnCount; }

void SetBorder(HWND hwnd) {
    LONG_PTR ex = ::GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    ex = (ex | WS_EX_CLIENTEDGE) & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE);
    ::SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex);
    const LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
    ::SetWindowLongPtrA(hwnd, GWL_STYLE, style);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InsertColumns(HWND hwnd) {
    for (int i = 0; i < kColumnCount; ++i) {
        std::string header(kGameListColumns[i].header);
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kGameListColumns[i].width;
        column.pszText = header.data();
        column.iSubItem = i;
        ::SendMessageA(hwnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

// Writing the selection must not scroll, but some list-view implementations (Wine's among
// them) scroll the row that gets the focus state into view. This puts the view back.
class KeepScrollPosition {
public:
    explicit KeepScrollPosition(HWND hwnd) : hwnd_(hwnd), before_(FirstRowOrigin()) {}
    ~KeepScrollPosition() {
        const POINT after = FirstRowOrigin();
        if (after.x != before_.x || after.y != before_.y)
            ::SendMessageA(hwnd_, LVM_SCROLL, after.x - before_.x, after.y - before_.y);
    }
    KeepScrollPosition(const KeepScrollPosition&) = delete;
    KeepScrollPosition& operator=(const KeepScrollPosition&) = delete;

private:
    POINT FirstRowOrigin() const {
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageA(hwnd_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
        return {rect.left, rect.top};
    }

    HWND hwnd_;
    POINT before_;
};

} // namespace

HWND CreateGameList(HWND parent, const ComponentRecord& record, DWORD commonStyle, HMENU id,
                    HINSTANCE instance, HFONT font) {
    HWND hwnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", kListStyle | commonStyle, record.x,
                                  record.y, record.width, record.height, parent, id, instance,
                                  nullptr);
    if (!hwnd)
        return nullptr;
    ::SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyle);
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageA(hwnd, LVM_SETTEXTCOLOR, 0, kBlack);
    ::SendMessageA(hwnd, LVM_SETTEXTBKCOLOR, 0, kWhite);
    ::SendMessageA(hwnd, LVM_SETBKCOLOR, 0, kWhite);
    SetBorder(hwnd);
    InsertColumns(hwnd);
    GameListControl list(hwnd);
    list.DeleteAllRows();
    list.SetSelectedRow(kNoRow);
    return hwnd;
}

void GameListControl::DeleteAllRows() { ::SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

int GameListControl::InsertRow() {
    char empty[] = "";
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    // An index beyond the last row adds the row after it, as the row count would, and saves
    // asking for the count on every insert.
    item.iItem = INT_MAX;
    item.pszText = empty;
    item.lParam = 0;
    return static_cast<int>(::SendMessageA(hwnd_, LVM_INSERTITEMA, 0,
                                           reinterpret_cast<LPARAM>(&item)));
}

void GameListControl::SetCellText(int row, int column, const std::string& text) {
    if (row < 0 || !ColumnExists(column))
        return;
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str()); // read only by the list
    ::SendMessageA(hwnd_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void GameListControl::ReadCellText(int row, int column, std::string& text) const {
    text.clear();
    if (row < 0 || !ColumnExists(column))
        return;
    // The list copies at most the buffer less one byte; a text that fills it may be longer, so
    // the buffer doubles until the text falls short of it. The first buffer is on the stack.
    std::array<char, kFirstTextBuffer> first;
    std::vector<char> larger;
    char* buffer = first.data();
    std::size_t size = first.size();
    for (;;) {
        buffer[0] = '\0';
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(
            ::SendMessageA(hwnd_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        if (length < size - 1) {
            text.assign(buffer, length);
            return;
        }
        size *= 2;
        larger.resize(size);
        buffer = larger.data();
    }
}

int GameListControl::RowCount() const {
    return static_cast<int>(::SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

int GameListControl::SelectedRow() const {
    return static_cast<int>(
        ::SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void GameListControl::SetSelectedRow(int row) {
    if (row < kNoRow)
        row = kNoRow;
    if (row == kNoRow) {
        row = SelectedRow();
        if (row == kNoRow)
            return;
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = 0;
        ::SendMessageA(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        return;
    }
    if (row >= RowCount())
        return;
    KeepScrollPosition keep(hwnd_);
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void GameListControl::EnsureRowVisible(int row) {
    if (row < 0 || row >= RowCount())
        return;
    ::SendMessageA(hwnd_, LVM_ENSUREVISIBLE, row, 0);
}

void GameListControl::SetRedraw(bool on) { ::SendMessageA(hwnd_, WM_SETREDRAW, on ? 1 : 0, 0); }

void GameListControl::Focus() { ::SetFocus(hwnd_); }

} // namespace velmora
