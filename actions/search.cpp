#include "actions/search.h"

#include "app/desktop_port.h"
#include "ui/game_list_columns.h"
#include "ui/list_port.h"

#include <cstring>

namespace velmora {

bool ContainsText(std::string_view text, std::string_view searched) {
    if (searched.empty())
        return !text.empty();
    const std::size_t n = text.size();
    const std::size_t m = searched.size();
    const char first = searched[0];
    for (std::size_t i = 0; i + m <= n;) {
        if (text[i] == first && std::memcmp(text.data() + i, searched.data(), m) == 0)
            return true;
        i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    }
    return false;
}

namespace {

// The first row of [from, to) whose game name holds the text, or -1.
int FindFrom(const ListPort& list, int from, int to, std::string_view searched) {
    std::string name; // each cell is read whole, into storage reused from row to row
    for (int row = from; row < to; ++row) {
        list.ReadCellText(row, kColumnGameName, name);
        if (ContainsText(name, searched))
            return row;
    }
    return kNoRow;
}

} // namespace

void OnSearchClicked(HandlerContext& context) {
    ListPort& list = *context.gameList;
    const std::string searched = context.searchBox ? context.searchBox->Text() : std::string();
    const int selected = list.SelectedRow();
    int found = FindFrom(list, selected + 1, list.RowCount(), searched);
    if (found == kNoRow)
        found = FindFrom(list, 0, list.RowCount(), searched); // the count is read anew
    if (found == kNoRow)
        return;
    list.SetSelectedRow(found);
    list.Focus();
    list.EnsureRowVisible(list.SelectedRow());
}

} // namespace velmora
