// Reads a file of code page 936 text line by line.
#pragma once

#include "acquire/files_port.h"

#include <array>
#include <string>

namespace velmora {

// Lines end at a line feed, which is consumed, or before a NUL or 0x1A byte, which is not and
// which ends the text of the file. One carriage return before the line feed is dropped. A byte
// of 0x80 or above takes the byte after it into a two-byte character, so that byte never ends a
// line. The file is read in blocks of at most 512 bytes, and a line may span any number of them.
class TextFileReader {
public:
    static constexpr std::int32_t kBlockSize = 512;

    // A file that cannot be opened gives a reader that is at its end at once.
    TextFileReader(FilesPort& files, const std::string& path);

    bool AtEnd();
    // The next line, without its line end; empty at the end and after a read error, which
    // also moves the reader to the end.
    std::string ReadLine();
    // The same into `line`, whose storage is reused from line to line.
    void ReadLine(std::string& line);
    void Close();

private:
    bool FillBlock(std::int64_t at); // makes the block hold the bytes at `at`; false at end
    void MoveToEnd();

    std::unique_ptr<ReadableFile> file_;
    std::int64_t length_ = 0;
    std::int64_t position_ = 0;   // next byte to read
    std::int64_t blockStart_ = 0; // file offset of block_[0]
    std::int32_t blockSize_ = 0;  // bytes held in block_
    std::int64_t filePosition_ = 0; // where the next Read of the file starts
    std::array<char, kBlockSize> block_{};
};

} // namespace velmora
