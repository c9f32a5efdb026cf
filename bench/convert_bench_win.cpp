// The stand-in spreadsheet server's conversion of a workbook served over HTTP, as a fetch asks
// for it: open from the URL, activate the first sheet, the three replaces, save as CSV, close,
// quit. Driven through the program's own automation client, in process as under the program.
//   convert_bench URL [RUNS]
#include "acquire/automation_win.h"
#include "bench/timer.h"

#include <objbase.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace velmora;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: convert_bench URL [RUNS]\n");
        return 2;
    }
    const std::string url = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    const std::string csv = std::string(folder) + "convert_bench.csv";
    ::CoInitialize(nullptr);
    Win32Automation automation;
    std::vector<double> totals, opens, replaces, saves, closes;
    long long csvSize = 0;
    for (int run = 0; run < runs; ++run) {
        const double start = NowSeconds();
        AutomationObject application(automation, automation.CreateObject("Excel.Application"));
        application.Put("DisplayAlerts", false);
        AutomationObject book = application.Get("Workbooks").InvokeForObject("Open", {url});
        const double opened = NowSeconds();
        book.Get("Sheets").Get("Item", {std::int32_t{1}}).InvokeForObject("Activate");
        AutomationObject cells = application.Get("Cells");
        const double activated = NowSeconds();
        cells.Invoke("Replace", {std::string("\n"), std::string()});
        cells.Invoke("Replace", {std::string("\r"), std::string()});
        cells.Invoke("Replace", {std::string(","), std::string(";")});
        const double replaced = NowSeconds();
        book.Invoke("SaveAs", {csv, std::int32_t{6}});
        const double saved = NowSeconds();
        cells.Reset();
        book.Invoke("Close");
        book.Reset();
        application.Invoke("Quit");
        application.Reset();
        totals.push_back(NowSeconds() - start);
        opens.push_back(opened - start);
        replaces.push_back(replaced - activated);
        saves.push_back(saved - replaced);
        closes.push_back(NowSeconds() - saved);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExA(csv.c_str(), GetFileExInfoStandard, &data)) {
            std::fprintf(stderr, "no CSV was written\n");
            return 1;
        }
        csvSize = data.nFileSizeLow;
        ::DeleteFileA(csv.c_str());
    }
    ::CoUninitialize();
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    std::printf("convert: median %.0f ms over %d runs (open and read %.0f, replaces %.0f, save %.0f, "
                "close and quit %.0f), CSV %.1f MB, peak working set %.0f MB\n",
                Median(totals) * 1000, runs, Median(opens) * 1000, Median(replaces) * 1000,
                Median(saves) * 1000, Median(closes) * 1000, csvSize / 1e6,
                memory.PeakWorkingSetSize / 1048576.0);
    return 0;
}
