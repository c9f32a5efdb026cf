// Loading a catalogue into the real GameList, against a bare loop that inserts the same rows
// and texts with LVM_INSERTITEMA and LVM_SETITEMTEXTA. Both run with redraw off, as in a fetch.
//   load_bench CATALOGUE.csv [RUNS]
#include "acquire/csv_loader.h"
#include "acquire/csv_text.h"
#include "bench/timer.h"
#include "acquire/files_win.h"
#include "acquire/text_file_reader.h"
#include "app/event_loop_win.h"
#include "app/form_win.h"
#include "app/main_window_record.h"
#include "ui/game_list_win.h"
#include "ui/progress_bar_win.h"
#include "ui/progress_window_win.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <cstdio>
#include <vector>

using namespace velmora;

namespace {

using Row = std::array<std::string, 5>;

std::vector<Row> ParseRows(const std::string& path) {
    Win32Files files;
    TextFileReader reader(files, path);
    std::vector<Row> rows;
    for (int line = 1; !reader.AtEnd(); ++line) {
        const auto fields = SplitAtSeparator(reader.ReadLine(), ",");
        if (line < 16)
            continue;
        Row row;
        row[0] = NumberToText(static_cast<double>(rows.size() + 1));
        for (std::size_t j = 0; j < 4 && j < fields.size(); ++j)
            row[j + 1] = fields[j];
        rows.push_back(std::move(row));
    }
    return rows;
}

// The list messages of a load and nothing else: each row inserted empty with LVM_INSERTITEMA,
// then its five texts set with LVM_SETITEMTEXTA. With `textInInsert` the row number goes into
// the insert instead, one message fewer than a load may send.
// The progress window, with the time spent in each of its operations added up.
class TimedProgress final : public ProgressPort {
public:
    explicit TimedProgress(ProgressPort& real) : real_(real) {}
    bool ShowProgressWindow() override { return Time(show, [&] { return real_.ShowProgressWindow(); }); }
    void SetProgressMaximum(std::int32_t v) override {
        Time(other, [&] { real_.SetProgressMaximum(v); return true; });
    }
    void SetProgressPosition(std::int32_t v) override {
        Time(positions, [&] { real_.SetProgressPosition(v); return true; });
    }
    void DestroyProgressWindow() override {
        Time(other, [&] { real_.DestroyProgressWindow(); return true; });
    }
    double show = 0, positions = 0, other = 0;

private:
    template <class F> bool Time(double& total, F f) {
        const double start = NowSeconds();
        const bool result = f();
        total += (NowSeconds() - start) * 1000;
        return result;
    }
    ProgressPort& real_;
};

double BareLoop(HWND list, const std::vector<Row>& rows, bool textInInsert) {
    const double start = NowSeconds();
    char empty[] = "";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = textInInsert ? const_cast<char*>(rows[i][0].c_str()) : empty;
        const auto row = ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = textInInsert ? 1 : 0; column < 5; ++column) {
            LVITEMA cell{};
            cell.iSubItem = column;
            cell.pszText = const_cast<char*>(rows[i][column].c_str());
            ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        }
    }
    return (NowSeconds() - start) * 1000;
}

// For telling the cost of the progress window apart: a port that draws nothing.
class NoProgress final : public ProgressPort {
public:
    bool ShowProgressWindow() override { return true; }
    void SetProgressMaximum(std::int32_t) override {}
    void SetProgressPosition(std::int32_t) override {}
    void DestroyProgressWindow() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: load_bench CATALOGUE.csv [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    FormEnvironment environment(::GetModuleHandleA(nullptr));
    Form* main = LoadForm(kMainWindowRecord);
    if (!main)
        return 1;
    GameListControl list(main->Control(Role::GameList));
    ProgressWindowControl progress;
    Win32Files files;
    const std::vector<Row> rows = ParseRows(path);
    constexpr std::int32_t kColumnMap[] = {1, 2, 3, 4};

    std::vector<double> baseline, tighter, load, timedLoad, loadWithoutProgress, readOnly;
    NoProgress noProgress;
    TimedProgress timedProgress(progress);
    int paints = 0;
    std::size_t loadedRows = 0;
    // Each measurement starts from an empty list with redraw off; their order turns from run
    // to run, so that none always follows the same one.
    const auto timed = [&](auto body) {
        list.DeleteAllRows();
        list.SetRedraw(false);
        const double start = NowSeconds();
        body();
        const double elapsed = (NowSeconds() - start) * 1000;
        list.SetRedraw(true);
        return elapsed;
    };
    const std::function<void()> measurements[] = {
        [&] { baseline.push_back(timed([&] { BareLoop(list.Window(), rows, false); })); },
        [&] { tighter.push_back(timed([&] { BareLoop(list.Window(), rows, true); })); },
        [&] {
            load.push_back(timed([&] {
                LoadCsvRows({list, progress, files}, path, 16, kColumnMap);
                paints = ProgressBarPaintCount(progress.Bar());
                loadedRows = static_cast<std::size_t>(list.RowCount());
            }));
            ProcessPendingMessages(); // the progress window goes
        },
        // The same load with each progress operation timed: the clock's own cost (two
        // readings for each of 100,000 positions) stays out of the load above.
        [&] {
            timedLoad.push_back(timed([&] { LoadCsvRows({list, timedProgress, files}, path, 16, kColumnMap); }));
            ProcessPendingMessages();
        },
        [&] {
            loadWithoutProgress.push_back(
                timed([&] { LoadCsvRows({list, noProgress, files}, path, 16, kColumnMap); }));
        },
        [&] {
            readOnly.push_back(timed([&] {
                TextFileReader reader(files, path);
                std::string line;
                std::vector<std::string> fields;
                while (!reader.AtEnd()) {
                    reader.ReadLine(line);
                    SplitAtSeparator(line, ",", fields);
                }
            }));
        },
    };
    constexpr int kMeasurements = static_cast<int>(std::size(measurements));
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < kMeasurements; ++k)
            measurements[(run + k) % kMeasurements]();
        ProcessPendingMessages();
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);

    const double base = Median(baseline), ours = Median(load);
    std::printf("rows                 %zu (baseline %zu)\n", loadedRows, rows.size());
    std::printf("baseline median      %.1f ms (bare loop: LVM_INSERTITEMA, 5 x LVM_SETITEMTEXTA)\n",
                base);
    std::printf("tighter loop         %.1f ms (row number in the insert; ratio %.3f)\n",
                Median(tighter), ours / Median(tighter));
    std::printf("LoadCsvRows median   %.1f ms\n", ours);
    std::printf("ratio                %.3f (target <= 1.15)\n", ours / base);
    std::printf("without progress     %.1f ms (ratio %.3f)\n", Median(loadWithoutProgress),
                Median(loadWithoutProgress) / base);
    std::printf("reading and splitting %.1f ms (no list)\n", Median(readOnly));
    std::printf("progress window      show %.1f ms, positions %.1f ms, rest %.1f ms per load "
                "(timed separately)\n",
                timedProgress.show / runs, timedProgress.positions / runs, timedProgress.other / runs);
    std::printf("progress repaints    %d per load (bar width %d pixels)\n", paints, 630);
    std::printf("peak working set     %.1f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    ::DestroyWindow(main->hwnd);
    return loadedRows == rows.size() ? 0 : 1;
}
