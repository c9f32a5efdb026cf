// Reading and splitting a catalogue natively, without the list: MB/s, against a baseline that
// reads the same file in 512-byte blocks and only counts its line feeds.
//   read_bench CATALOGUE.csv [RUNS]
#include "acquire/csv_text.h"
#include "bench/timer.h"
#include "acquire/text_file_reader.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace velmora;

namespace {

// The Files port over stdio.
class StdioFile final : public ReadableFile {
public:
    explicit StdioFile(std::FILE* file) : file_(file) {}
    ~StdioFile() override { std::fclose(file_); }
    std::int64_t Read(char* buffer, std::int32_t size) override {
        const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(size), file_);
        return std::ferror(file_) ? -1 : static_cast<std::int64_t>(got);
    }
    bool SetPosition(std::int64_t position) override {
        return std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
    }
    std::int64_t Length() override {
        const long here = std::ftell(file_);
        std::fseek(file_, 0, SEEK_END);
        const long length = std::ftell(file_);
        std::fseek(file_, here, SEEK_SET);
        return length;
    }

private:
    std::FILE* file_;
};

class StdioFiles final : public FilesPort {
public:
    std::int32_t FileSize(const std::string& path) override {
        auto file = OpenForReading(path);
        return file ? static_cast<std::int32_t>(file->Length()) : -1;
    }
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        return file ? std::make_unique<StdioFile>(file) : nullptr;
    }
    bool FileExists(const std::string& path) override { return FileSize(path) >= 0; }
    void RemoveFile(const std::string&) override {}
    std::string TempFolder() override { return {}; }
};


double Seconds(double start) { return NowSeconds() - start; }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: read_bench CATALOGUE.csv [RUNS]\n");
        return 2;
    }
    const std::string path = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    StdioFiles files;
    const double megabytes = files.FileSize(path) / 1e6;
    std::vector<double> baseline, ours;
    std::size_t lines = 0, fields = 0, feeds = 0;
    for (int run = 0; run < runs; ++run) {
        double start = NowSeconds();
        {
            auto file = files.OpenForReading(path);
            char block[512];
            feeds = 0;
            for (std::int64_t got; (got = file->Read(block, sizeof block)) > 0;)
                for (const char* p = block; (p = static_cast<const char*>(
                                                 std::memchr(p, '\n', block + got - p)));
                     ++p)
                    ++feeds;
        }
        baseline.push_back(Seconds(start));

        start = NowSeconds();
        TextFileReader reader(files, path);
        lines = fields = 0;
        std::string line; // storage reused as the loader does
        std::vector<std::string> split;
        while (!reader.AtEnd()) {
            reader.ReadLine(line);
            SplitAtSeparator(line, ",", split);
            fields += split.size();
            ++lines;
        }
        ours.push_back(Seconds(start));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double base = Median(baseline), read = Median(ours);
    std::printf("file                 %.1f MB, %zu lines, %zu fields (%zu line feeds)\n",
                megabytes, lines, fields, feeds);
    std::printf("baseline             %.0f MB/s (512-byte blocks, memchr for line feeds)\n",
                megabytes / base);
    std::printf("read and split       %.0f MB/s (target >= 300)\n", megabytes / read);
    std::printf("ratio to baseline    %.2f\n", read / base);
    std::printf("peak resident set    %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
