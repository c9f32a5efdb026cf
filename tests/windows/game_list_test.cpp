// GameList: its set-up, operations and events against the real list-view control.
#include "tests/windows/test_support_win.h"

#include "ui/game_list_columns.h"

#include <commctrl.h>

namespace velmora::test {
namespace {

using GameList = MainWindowTest;

void AddRows(ListPort& list, int count) {
    list.SetRedraw(false); // a list that repaints at every insert is slow under Wine
    for (int i = 0; i < count; ++i) {
        const int row = list.InsertRow();
        list.SetCellText(row, 0, std::to_string(row + 1));
        list.SetCellText(row, 1, "game " + std::to_string(row));
    }
    list.SetRedraw(true);
}

UINT ItemState(HWND list, int row) {
    return static_cast<UINT>(
        ::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
}

int SelectedCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

TEST_F(GameList, IsSetUpWithItsColumnsColoursAndExtendedStyle) {
    HWND list = Control(Role::GameList);
    EXPECT_EQ(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);
    EXPECT_EQ(::SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(::SendMessageA(list, LVM_GETBKCOLOR, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
    EXPECT_EQ(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_STATE, 0), 0);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 5);
    for (int i = 0; i < 5; ++i) {
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(column.cx, kGameListColumns[i].width) << i;
        EXPECT_EQ(std::string(text), kGameListColumns[i].header) << i;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << i;
        EXPECT_EQ(column.iSubItem, i);
    }
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(List().SelectedRow(), -1);
}

TEST_F(GameList, CellsOfAnyLengthReadBackWhole) {
    const int row = List().InsertRow();
    for (std::size_t length : {0u, 1u, 510u, 511u, 512u, 600u, 1023u, 5000u}) {
        std::string text(length, 'x');
        for (std::size_t i = 0; i + 1 < length; i += 7)
            text[i] = static_cast<char>(0xB0), text[i + 1] = static_cast<char>(0xA1); // "啊"
        List().SetCellText(row, 4, text);
        EXPECT_EQ(List().GetCellText(row, 4), text) << length;
    }
}

TEST_F(GameList, RowsAndColumnsThatDoNotExistReadEmptyAndIgnoreWrites) {
    AddRows(List(), 3);
    EXPECT_EQ(List().GetCellText(-1, 1), "");
    EXPECT_EQ(List().GetCellText(3, 1), "");
    EXPECT_EQ(List().GetCellText(0, 5), "");
    EXPECT_EQ(List().GetCellText(0, -1), "");
    List().SetCellText(3, 1, "nowhere");
    List().SetCellText(-1, 1, "nowhere");
    List().SetCellText(0, 5, "nowhere");
    EXPECT_EQ(List().RowCount(), 3);
    EXPECT_EQ(List().GetCellText(0, 1), "game 0");
}

TEST_F(GameList, InsertRowAppendsAnEmptyRowAtTheEnd) {
    AddRows(List(), 4);
    EXPECT_EQ(List().InsertRow(), 4);
    EXPECT_EQ(List().RowCount(), 5);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(List().GetCellText(4, column), "");
    EXPECT_EQ(List().GetCellText(3, 1), "game 3"); // the rows before keep their order
    LVITEMA item{};
    item.mask = LVIF_PARAM | LVIF_STATE | LVIF_IMAGE | LVIF_INDENT;
    item.iItem = 4;
    item.stateMask = static_cast<UINT>(-1);
    ASSERT_TRUE(::SendMessageA(Control(Role::GameList), LVM_GETITEMA, 0,
                               reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 0);
    EXPECT_EQ(item.state, 0u);
    EXPECT_EQ(item.iIndent, 0);
}

TEST_F(GameList, DeleteAllRowsEmptiesTheListAndTheSelection) {
    AddRows(List(), 5);
    List().SetSelectedRow(2);
    List().DeleteAllRows();
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_EQ(List().SelectedRow(), -1);
}

TEST_F(GameList, WritingSelectedRowSelectsOneRowWithFocusAndDoesNotScroll) {
    HWND list = Control(Role::GameList);
    AddRows(List(), 100);
    List().SetSelectedRow(2);
    List().SetSelectedRow(70);
    EXPECT_EQ(List().SelectedRow(), 70);
    EXPECT_EQ(SelectedCount(list), 1);
    EXPECT_EQ(ItemState(list, 70), UINT{LVIS_SELECTED | LVIS_FOCUSED});
    EXPECT_EQ(ItemState(list, 2), 0u);
    EXPECT_EQ(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);

    List().SetSelectedRow(100); // beyond the last row: nothing changes
    EXPECT_EQ(List().SelectedRow(), 70);
    List().SetSelectedRow(-5); // below -1 counts as -1
    EXPECT_EQ(List().SelectedRow(), -1);
    EXPECT_EQ(ItemState(list, 70), 0u);
    List().SetSelectedRow(-1); // nothing selected: nothing happens
    EXPECT_EQ(List().SelectedRow(), -1);
}

TEST_F(GameList, ARowWithOnlyTheFocusStateIsNotSelected) {
    AddRows(List(), 3);
    LVITEMA item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    ::SendMessageA(Control(Role::GameList), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(List().SelectedRow(), -1);
}

TEST_F(GameList, EnsureRowVisibleScrollsTheWholeRowIntoView) {
    HWND list = Control(Role::GameList);
    AddRows(List(), 200);
    List().EnsureRowVisible(150);
    RECT row{LVIR_BOUNDS, 0, 0, 0}, client{};
    ::SendMessageA(list, LVM_GETITEMRECT, 150, reinterpret_cast<LPARAM>(&row));
    ::GetClientRect(list, &client);
    EXPECT_GE(row.top, 0);
    EXPECT_LE(row.bottom, client.bottom);
    const LRESULT top = ::SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    EXPECT_GT(top, 0);
    List().EnsureRowVisible(-1);
    List().EnsureRowVisible(200);
    EXPECT_EQ(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0), top);
}

int BlackPixelsOfFirstRow(HWND list) {
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    HDC dc = ::GetDC(list);
    int count = 0;
    for (int y = row.top; y < row.bottom; ++y) {
        for (int x = 0; x < 300; ++x)
            count += ::GetPixel(dc, x, y) == RGB(0, 0, 0);
    }
    ::ReleaseDC(list, dc);
    return count;
}

TEST_F(GameList, RedrawOffKeepsNewRowsFromBeingPaintedUntilItIsOnAgain) {
    HWND list = Control(Role::GameList);
    List().SetRedraw(false);
    for (int i = 0; i < 10; ++i)
        List().SetCellText(List().InsertRow(), 1, "game");
    EXPECT_EQ(BlackPixelsOfFirstRow(list), 0);
    List().SetRedraw(true);
    EXPECT_GT(BlackPixelsOfFirstRow(list), 10);
}

POINT RowPoint(HWND list, int row) {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    POINT point{rect.left + 80, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(list, &point);
    return point;
}

TEST_F(GameList, DoubleClickOnARowRaisesTheEventWithThatRowSelected) {
    AddRows(List(), 5);
    ClickAt(RowPoint(Control(Role::GameList), 3), false, 2);
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty(); }));
    EXPECT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].handler, HandlerId::ListDoubleClick);
    EXPECT_EQ(events_[0].selectedRow, 3);
}

TEST_F(GameList, DoubleClickOnTheEmptyAreaRaisesTheEventWithNoRowSelected) {
    HWND list = Control(Role::GameList);
    AddRows(List(), 2);
    List().SetSelectedRow(1);
    RECT client{};
    ::GetClientRect(list, &client);
    POINT empty{200, client.bottom - 30};
    ::ClientToScreen(list, &empty);
    ClickAt(empty, false, 2);
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty(); }));
    EXPECT_EQ(events_[0].handler, HandlerId::ListDoubleClick);
    EXPECT_EQ(events_[0].selectedRow, -1);
}

TEST_F(GameList, DoubleClickOnTheHeaderRaisesNoEvent) {
    HWND list = Control(Role::GameList);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    ::GetWindowRect(header, &rect);
    ClickAt({rect.left + 60, (rect.top + rect.bottom) / 2}, false, 2);
    PumpFor(200);
    EXPECT_TRUE(events_.empty());
}

TEST_F(GameList, RightClickOnARowRaisesTheEventWithThatRowSelected) {
    AddRows(List(), 5);
    ClickAt(RowPoint(Control(Role::GameList), 2), true);
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty(); }));
    EXPECT_EQ(events_[0].handler, HandlerId::ListRightClick);
    EXPECT_EQ(events_[0].selectedRow, 2);
}

} // namespace
} // namespace velmora::test
