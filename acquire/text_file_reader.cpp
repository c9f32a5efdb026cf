#include "acquire/text_file_reader.h"

#include "acquire/byte_scan.h"

namespace velmora {
namespace {

constexpr unsigned char kLineFeed = 0x0A;
constexpr char kCarriageReturn = 0x0D;
constexpr unsigned char kEndOfText = 0x1A;

// What a byte means to the line scanner.
enum ByteClass : unsigned char { kPlain, kLead, kLineEnd, kTextEnd };

constexpr auto kByteClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int b = 0x80; b < 256; ++b)
        classes[b] = kLead;
    classes[kLineFeed] = kLineEnd;
    classes[0x00] = kTextEnd;
    classes[kEndOfText] = kTextEnd;
    return classes;
}();

ByteClass ClassOf(char c) {
    return static_cast<ByteClass>(kByteClasses[static_cast<unsigned char>(c)]);
}

} // namespace

TextFileReader::TextFileReader(FilesPort& files, const std::string& path)
    : file_(path.empty() ? nullptr : files.OpenForReading(path)) {
    if (file_) {
        length_ = file_->Length();
        if (length_ < 0)
            file_.reset();
    }
}

void TextFileReader::Close() {
    file_.reset();
    blockSize_ = 0;
}

void TextFileReader::MoveToEnd() {
    position_ = length_;
    blockSize_ = 0;
}

bool TextFileReader::FillBlock(std::int64_t at) {
    if (at >= blockStart_ && at < blockStart_ + blockSize_)
        return true;
    if (!file_ || at >= length_)
        return false;
    blockSize_ = 0;
    if (at != filePosition_) {
        if (!file_->SetPosition(at))
            return false;
        filePosition_ = at;
    }
    const std::int64_t got = file_->Read(block_.data(), kBlockSize);
    if (got <= 0)
        return false;
    filePosition_ += got;
    blockStart_ = at;
    blockSize_ = static_cast<std::int32_t>(got);
    return true;
}

bool TextFileReader::AtEnd() {
    if (!file_ || position_ >= length_)
        return true;
    if (!FillBlock(position_))
        return true; // an error while looking counts as the end
    const auto byte = static_cast<unsigned char>(block_[position_ - blockStart_]);
    return byte == 0x00 || byte == kEndOfText;
}

std::string TextFileReader::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

void TextFileReader::ReadLine(std::string& line) {
    line.clear();
    bool pendingLead = false; // the last byte taken leads a pair; its second byte is next
    bool trailLast = false;   // the last byte taken is the second byte of a pair
    while (file_ && position_ < length_) {
        if (!FillBlock(position_)) {
            MoveToEnd(); // a read error drops the line
            line.clear();
            return;
        }
        const char* const begin = block_.data() + (position_ - blockStart_);
        const char* const end = block_.data() + blockSize_;
        const char* p = begin;
        bool stop = false;
        int lineEnd = 0; // bytes of line end consumed after p
        if (pendingLead) {
            pendingLead = false;
            if (*p == '\0')
                stop = true; // an incomplete pair: its lead stays, the NUL ends the text
            else
                ++p, trailLast = true;
        }
        while (!stop && p < end) {
            const char* const run = p;
            while (end - p >= 8) { // eight plain bytes at a time
                const std::uint64_t word = LoadWord(p);
                if (HasHighByte(word) || HasZeroByte(word) || HasByte(word, kLineFeed) ||
                    HasByte(word, kEndOfText))
                    break;
                p += 8;
            }
            while (p < end && ClassOf(*p) == kPlain)
                ++p;
            if (p != run)
                trailLast = false;
            if (p == end)
                break;
            switch (ClassOf(*p)) {
            case kLead:
                trailLast = false;
                if (p + 1 == end) {
                    pendingLead = true; // its second byte is in the next block
                    ++p;
                } else if (p[1] == '\0') {
                    ++p; // an incomplete pair: its lead stays, the NUL ends the text
                    stop = true;
                } else {
                    p += 2;
                    trailLast = true;
                }
                break;
            case kLineEnd:
                stop = true;
                lineEnd = 1;
                break;
            default:
                stop = true; // NUL or 0x1A: not consumed
                break;
            }
        }
        line.append(begin, p);
        position_ += (p - begin) + lineEnd;
        if (stop)
            break;
    }
    // A carriage return that stands alone at the end is part of the line end.
    if (!trailLast && !pendingLead && !line.empty() && line.back() == kCarriageReturn)
        line.pop_back();
}

} // namespace velmora
