// The portable half of a conversion, natively: reading an .xlsx workbook, the three replaces
// and writing CSV, each timed, against unpacking the same ZIP entries alone (the baseline).
//   workbook_bench WORKBOOK.xlsx [RUNS]
#include "bench/timer.h"
#include "sheetserver/sheet_edit.h"
#include "sheetserver/workbook_reader.h"
#include "sheetserver/zip_archive.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace sheetserver;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: workbook_bench WORKBOOK.xlsx [RUNS]\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::string data = bytes.str();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::vector<double> unpack, read, replace, write;
    std::size_t csvSize = 0;
    for (int run = 0; run < runs; ++run) {
        double t0 = NowSeconds();
        ZipArchive zip(data, 1ull << 30);
        Bytes part;
        for (const char* name : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
            zip.Extract(name, part);
        double t1 = NowSeconds();
        Workbook book;
        std::string error, csv;
        if (!ReadWorkbook(data, 512ull << 20, book, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        double t2 = NowSeconds();
        ReplaceInCells(book.sheets[0], "\n", "");
        ReplaceInCells(book.sheets[0], "\r", "");
        ReplaceInCells(book.sheets[0], ",", ";");
        double t3 = NowSeconds();
        WriteCsv(book.sheets[0], 512ull << 20, csv);
        double t4 = NowSeconds();
        csvSize = csv.size();
        unpack.push_back(t1 - t0), read.push_back(t2 - t1), replace.push_back(t3 - t2), write.push_back(t4 - t3);
    }
    std::printf("unpack only %.1f ms; read %.1f ms (ratio %.2f to unpacking), replaces %.1f ms, "
                "CSV %.1f ms (%.1f MB)\n",
                Median(unpack) * 1e3, Median(read) * 1e3, Median(read) / Median(unpack),
                Median(replace) * 1e3, Median(write) * 1e3, csvSize / 1e6);
    return 0;
}
