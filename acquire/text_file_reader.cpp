#include "acquire/text_file_reader.h"

namespace velmora {
namespace {

constexpr unsigned char kLineFeed = 0x0A;
constexpr char kCarriageReturn = 0x0D;
constexpr unsigned char kEndOfText = 0x1A;

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
    bool pendingLead = false; // the last byte taken leads a pair; its second byte is next
    bool trailLast = false;   // the last byte taken is the second byte of a pair
    while (file_ && position_ < length_) {
        if (!FillBlock(position_)) {
            MoveToEnd(); // a read error drops the line
            return {};
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
            const auto byte = static_cast<unsigned char>(*p);
            if (byte >= 0x80) {
                trailLast = false;
                if (p + 1 == end) {
                    pendingLead = true;
                    ++p;
                    break;
                }
                if (p[1] == '\0') {
                    ++p;
                    stop = true;
                    break;
                }
                p += 2;
                trailLast = true;
                continue;
            }
            if (byte == kLineFeed) {
                stop = true;
                lineEnd = 1;
                break;
            }
            if (byte == 0x00 || byte == kEndOfText) {
                stop = true;
                break;
            }
            trailLast = false;
            ++p;
        }
        line.append(begin, p);
        position_ += (p - begin) + lineEnd;
        if (stop)
            break;
    }
    // A carriage return that stands alone at the end is part of the line end.
    if (!trailLast && !pendingLead && !line.empty() && line.back() == kCarriageReturn)
        line.pop_back();
    return line;
}

} // namespace velmora
