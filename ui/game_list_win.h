// GameList: the report-view list-view control and the List port over it.
#pragma once

#include "app/window_record.h"
#include "ui/list_port.h"

#include <windows.h>

namespace velmora {

// Creates the list as a child of `parent` and sets it up: extended style, font, colours,
// border, the five columns, no rows and no selection. `commonStyle` holds the record's
// visible, disabled and tab-stop bits.
HWND CreateGameList(HWND parent, const ComponentRecord& record, DWORD commonStyle, HMENU id,
                    HINSTANCE instance, HFONT font);

// The List port over a list-view window; every operation is a message sent to it.
class GameListControl final : public ListPort {
public:
    explicit GameListControl(HWND hwnd) : hwnd_(hwnd) {}

    void DeleteAllRows() override;
    int InsertRow() override;
    void SetCellText(int row, int column, const std::string& text) override;
    void ReadCellText(int row, int column, std::string& text) const override;
    int RowCount() const override;
    int SelectedRow() const override;
    void SetSelectedRow(int row) override;
    void EnsureRowVisible(int row) override;
    void SetRedraw(bool on) override;
    void Focus() override;

    HWND Window() const { return hwnd_; }

private:
    HWND hwnd_;
};

} // namespace velmora
