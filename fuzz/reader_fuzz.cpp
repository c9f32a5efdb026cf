// Fuzz target: the line reader and the field splitter. Reading always ends, and every byte of
// the input is accounted for: in a line, in a line end, or at or after the end-of-text byte.
// Splitting a line and joining its fields gives the line back.
#include "acquire/csv_text.h"
#include "acquire/text_file_reader.h"
#include "tests/native/fakes.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The end of the file, or a NUL or 0x1A byte.
bool EndsText(const std::string& input, std::size_t at) {
    return at >= input.size() || input[at] == '\0' || input[at] == '\x1A';
}

std::string Join(const std::vector<std::string>& fields) {
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i)
        joined += (i ? "," : "") + fields[i];
    return joined;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    velmora::test::MemoryFiles files;
    files.files["f"] = input;
    velmora::TextFileReader reader(files, "f");
    std::size_t offset = 0;
    for (std::size_t guard = 0; !reader.AtEnd(); ++guard) {
        Check(guard <= size); // each line takes at least one byte
        const std::string line = reader.ReadLine();
        Check(input.compare(offset, line.size(), line) == 0);
        offset += line.size();
        if (input.compare(offset, 2, "\r\n") == 0) {
            offset += 2;
        } else if (input.compare(offset, 1, "\n") == 0) {
            offset += 1;
        } else {
            // No line feed: the line ended at the end of the text, less a final carriage return.
            if (input.compare(offset, 1, "\r") == 0 && EndsText(input, offset + 1))
                offset += 1;
            Check(EndsText(input, offset));
        }

        const auto fields = velmora::SplitAtSeparator(line, ",");
        const std::string joined = Join(fields);
        Check(joined == line || joined + "," == line);
    }
    Check(EndsText(input, offset));
    Check(files.stats.largestRead <= velmora::TextFileReader::kBlockSize);
    return 0;
}
