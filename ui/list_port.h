// The operations through which the rest of the program uses GameList.
#pragma once

#include <string>

namespace velmora {

inline constexpr int kNoRow = -1;

class ListPort {
public:
    virtual void DeleteAllRows() = 0;
    // Appends an empty row; yields its index, or -1 when the list cannot add it.
    virtual int InsertRow() = 0;
    // A row or column that does not exist changes nothing.
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    // The whole text of a cell; empty for a row or column that does not exist.
    std::string GetCellText(int row, int column) const {
        std::string text;
        ReadCellText(row, column, text);
        return text;
    }
    // The same into `text`, whose storage is reused, for loops over many rows.
    virtual void ReadCellText(int row, int column, std::string& text) const = 0;
    virtual int RowCount() const = 0;
    // The lowest-numbered selected row, or -1.
    virtual int SelectedRow() const = 0;
    virtual void SetSelectedRow(int row) = 0;
    virtual void EnsureRowVisible(int row) = 0;
    virtual void SetRedraw(bool on) = 0;
    virtual void Focus() = 0;

protected:
    ~ListPort() = default;
};

} // namespace velmora
