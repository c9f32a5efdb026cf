// Reads the entries of a ZIP container held in memory: stored and deflated entries, found
// through the central directory.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace sheetserver {

// Bytes that are not zeroed first: an entry is written once, by inflate or a copy. Its
// storage is kept for the next entry that fits, so that pages once touched serve again.
struct Bytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
    std::string_view View() const { return {data.get(), size}; }
};

class ZipArchive {
public:
    // `data` must outlive the archive. `unpackBudget` bounds the bytes all Extract calls
    // together may produce, so that a small archive cannot unpack into gigabytes.
    ZipArchive(std::string_view data, std::uint64_t unpackBudget);

    // False when the data holds no readable central directory.
    bool Valid() const { return valid_; }

    bool Contains(std::string_view name) const;
    // The size an entry declares, or 0.
    std::uint64_t DeclaredSize(std::string_view name) const;

    // The whole entry, checked against its CRC. False when it is missing, damaged, uses a
    // method other than stored or deflate, or would exceed the budget. Two threads may
    // extract at once.
    bool Extract(std::string_view name, Bytes& out);

private:
    struct Entry {
        std::uint16_t method;
        std::uint32_t crc;
        std::uint32_t packedSize;
        std::uint32_t size;
        std::uint32_t headerOffset;
    };

    const Entry* Find(std::string_view name) const;

    bool Spend(std::uint64_t bytes);

    std::string_view data_;
    std::atomic<std::uint64_t> budget_;
    bool valid_ = false;
    std::unordered_map<std::string, Entry> entries_; // by lower-case name: part names ignore case
};

} // namespace sheetserver
