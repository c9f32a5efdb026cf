// A search click that finds nothing in a 100,000-row GameList, against a bare loop of
// LVM_GETITEMTEXTA over the same rows, twice over as the search's two passes are.
//   search_bench [ROWS] [RUNS]
#include "actions/search.h"
#include "app/desktop_port.h"
#include "app/form_win.h"
#include "app/main_window_record.h"
#include "bench/timer.h"
#include "ui/game_list_win.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace velmora;

namespace {

class FixedText final : public TextBoxPort {
public:
    std::string Text() const override { return "没有这个游戏"; }
};

// Reads column 1 of every row into a 512-byte buffer and looks for the text, twice.
double BareLoop(HWND list, int rows) {
    const std::string searched = FixedText().Text();
    const double start = NowSeconds();
    int found = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < rows; ++row) {
            char buffer[512];
            buffer[0] = '\0';
            LVITEMA item{};
            item.iSubItem = 1;
            item.pszText = buffer;
            item.cchTextMax = sizeof buffer;
            ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            found += std::strstr(buffer, searched.c_str()) != nullptr;
        }
    }
    const double elapsed = (NowSeconds() - start) * 1000;
    return found ? -1 : elapsed;
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    FormEnvironment environment(::GetModuleHandleA(nullptr));
    Form* main = LoadForm(kMainWindowRecord);
    if (!main)
        return 1;
    GameListControl list(main->Control(Role::GameList));
    list.SetRedraw(false);
    for (int i = 0; i < rows; ++i) {
        const int row = list.InsertRow();
        list.SetCellText(row, 0, std::to_string(row + 1));
        list.SetCellText(row, 1, (i % 2 ? "星海传说 " : "Dragon Quest ") + std::to_string(i));
        list.SetCellText(row, 2, "https://dl.example.org/s/" + std::to_string(i * 7919));
    }
    list.SetRedraw(true);
    // No row selected: both passes read every row, as the baseline does.
    FixedText text;
    HandlerContext context{.gameList = &list, .searchBox = &text};

    std::vector<double> baseline, search;
    for (int run = 0; run < runs; ++run) {
        baseline.push_back(BareLoop(list.Window(), rows));
        const double start = NowSeconds();
        OnSearchClicked(context);
        search.push_back((NowSeconds() - start) * 1000);
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    const double base = Median(baseline), ours = Median(search);
    std::printf("rows                 %d, selected row after the clicks %d (none expected)\n",
                rows, list.SelectedRow());
    std::printf("baseline median      %.1f ms (2 x %d LVM_GETITEMTEXTA, 512-byte buffer)\n",
                base, rows);
    std::printf("search click median  %.1f ms (a search that finds nothing)\n", ours);
    std::printf("ratio                %.3f (target <= 1.2)\n", ours / base);
    std::printf("peak working set     %.1f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    ::DestroyWindow(main->hwnd);
    return 0;
}
