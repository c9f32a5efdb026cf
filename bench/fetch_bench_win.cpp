// A whole fetch in the real program: from the click on FetchButton until the rows are in the
// list, with the catalogue served on 127.0.0.1:8650. The baseline, in the same run, is the same
// click while the server answers 404: what a fetch costs before there is anything to convert
// or load (starting the spreadsheet server, asking for the file, quitting).
//   fetch_bench VELMORA.EXE WORKBOOK.xlsx [RUNS]
#include "bench/timer.h"
#include "tests/windows/testserver/http_server_win.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace velmora::test;

namespace {

HWND WaitForMainWindow(DWORD pid) {
    for (int i = 0; i < 500; ++i) {
        for (HWND hwnd = nullptr; (hwnd = ::FindWindowExA(nullptr, hwnd, "VelmoraForm", "Velmora"));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == pid && ::IsWindowVisible(hwnd))
                return hwnd;
        }
        ::Sleep(20);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fetch_bench VELMORA.EXE WORKBOOK.xlsx [RUNS]\n");
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    std::ostringstream workbook;
    workbook << file.rdbuf();
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    HttpServer server(8650);
    if (!server.Listening()) {
        std::fprintf(stderr, "127.0.0.1:8650 is taken\n");
        return 1;
    }
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return 1;
    HWND main = WaitForMainWindow(process.dwProcessId);
    HWND fetch = main ? ::FindWindowExA(main, nullptr, "Button", "云端获取列表") : nullptr;
    HWND list = main ? ::FindWindowExA(main, nullptr, "SysListView32", nullptr) : nullptr;
    if (!fetch || !list) {
        ::TerminateProcess(process.hProcess, 1);
        return 1;
    }
    // BM_CLICK returns once the click handler has: the rows are in the list by then.
    auto timeClicks = [&](int expectedRows) { // -1: any count
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const double start = NowSeconds();
            ::SendMessageA(fetch, BM_CLICK, 0, 0);
            times.push_back(NowSeconds() - start);
            if (expectedRows >= 0 && ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != expectedRows)
                std::fprintf(stderr, "unexpected row count\n");
            ::Sleep(50); // the progress window goes
        }
        return Median(times);
    };
    server.Serve("/650.xlsx", {200, workbook.str()});
    ::SendMessageA(fetch, BM_CLICK, 0, 0); // warm-up
    const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const double full = timeClicks(rows);
    server.Serve("/650.xlsx", {404, "gone"});
    const double baseline = timeClicks(0);
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::printf("fetch of %d rows: median %.0f ms from the click until the rows are in (%d runs); "
                "baseline (404, nothing to convert) %.0f ms, ratio %.2f; program's peak working set %.0f MB\n",
                rows, full * 1000, runs, baseline * 1000, full / baseline, memory.PeakWorkingSetSize / 1048576.0);
    return 0;
}
