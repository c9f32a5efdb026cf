#include "sheetserver/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace sheetserver {
namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kDirectoryEntry = 0x02014b50;
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kMaxComment = 0xFFFF;

std::uint16_t U16(std::string_view d, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[at]) |
                                      static_cast<unsigned char>(d[at + 1]) << 8);
}

std::uint32_t U32(std::string_view d, std::size_t at) {
    return U16(d, at) | static_cast<std::uint32_t>(U16(d, at + 2)) << 16;
}

std::string Lower(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Raw deflate into exactly `out.size` bytes; more or fewer is damage.
bool Inflate(std::string_view packed, Bytes& out) {
    z_stream stream{};
    if (::inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data.get());
    stream.avail_out = static_cast<uInt>(out.size);
    int result = ::inflate(&stream, Z_FINISH);
    // An entry that declares 0 bytes still has to be a finished stream.
    const bool finished = result == Z_STREAM_END && stream.total_out == out.size;
    ::inflateEnd(&stream);
    return finished;
}

} // namespace

ZipArchive::ZipArchive(std::string_view data, std::uint64_t unpackBudget)
    : data_(data), budget_(unpackBudget) {
    if (data.size() < kEndSize || data.size() > UINT32_MAX)
        return;
    // The end record sits in the last 22 bytes plus at most a 64 KiB comment.
    const std::size_t lowest = data.size() > kEndSize + kMaxComment ? data.size() - kEndSize - kMaxComment : 0;
    std::size_t end = data.size() - kEndSize + 1;
    do {
        --end;
        if (U32(data, end) == kEndOfDirectory)
            break;
    } while (end > lowest);
    if (U32(data, end) != kEndOfDirectory)
        return;
    const std::uint16_t count = U16(data, end + 10);
    const std::uint32_t directorySize = U32(data, end + 12);
    const std::uint32_t directoryOffset = U32(data, end + 16);
    if (std::uint64_t(directoryOffset) + directorySize > end)
        return;
    std::size_t at = directoryOffset;
    const std::size_t limit = std::size_t(directoryOffset) + directorySize;
    for (std::uint16_t i = 0; i < count; ++i) {
        if (at + 46 > limit || U32(data, at) != kDirectoryEntry)
            return;
        const std::size_t nameLength = U16(data, at + 28);
        const std::size_t extraLength = U16(data, at + 30);
        const std::size_t commentLength = U16(data, at + 32);
        const std::size_t next = at + 46 + nameLength + extraLength + commentLength;
        if (next > limit)
            return;
        const Entry entry{U16(data, at + 10), U32(data, at + 16), U32(data, at + 20),
                          U32(data, at + 24), U32(data, at + 42)};
        entries_.emplace(Lower(data.substr(at + 46, nameLength)), entry);
        at = next;
    }
    valid_ = true;
}

const ZipArchive::Entry* ZipArchive::Find(std::string_view name) const {
    const auto found = entries_.find(Lower(name));
    return found == entries_.end() ? nullptr : &found->second;
}

bool ZipArchive::Contains(std::string_view name) const { return Find(name) != nullptr; }

std::uint64_t ZipArchive::DeclaredSize(std::string_view name) const {
    const Entry* entry = Find(name);
    return entry ? entry->size : 0;
}

bool ZipArchive::Spend(std::uint64_t bytes) {
    std::uint64_t left = budget_.load();
    do {
        if (bytes > left)
            return false;
    } while (!budget_.compare_exchange_weak(left, left - bytes));
    return true;
}

bool ZipArchive::Extract(std::string_view name, Bytes& out) {
    out.size = 0;
    const Entry* entry = Find(name);
    if (!entry)
        return false;
    const std::size_t header = entry->headerOffset;
    if (std::uint64_t(header) + 30 > data_.size() || U32(data_, header) != kLocalHeader)
        return false;
    const std::uint64_t start = std::uint64_t(header) + 30 + U16(data_, header + 26) + U16(data_, header + 28);
    if (start + entry->packedSize > data_.size() || !Spend(entry->size))
        return false;
    const std::string_view packed = data_.substr(start, entry->packedSize);
    if (out.capacity < entry->size) {
        out.data.reset(new char[entry->size]);
        out.capacity = entry->size;
    }
    out.size = entry->size;
    bool ok = false;
    if (entry->method == 0)
        ok = packed.size() == out.size && (std::copy(packed.begin(), packed.end(), out.data.get()), true);
    else if (entry->method == Z_DEFLATED)
        ok = Inflate(packed, out);
    ok = ok && ::crc32(0, reinterpret_cast<const Bytef*>(out.data.get()), static_cast<uInt>(out.size)) ==
                   entry->crc;
    if (!ok)
        out.size = 0;
    return ok;
}

} // namespace sheetserver
