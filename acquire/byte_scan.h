// Word-at-a-time tests for runs of plain ASCII, for the scanners of lines and fields.
#pragma once

#include <cstdint>
#include <cstring>

namespace velmora {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Nonzero when some byte of `word` is zero.
constexpr std::uint64_t HasZeroByte(std::uint64_t word) {
    return (word - kOnes) & ~word & kHighBits;
}

// Nonzero when some byte of `word` equals `byte`.
constexpr std::uint64_t HasByte(std::uint64_t word, unsigned char byte) {
    return HasZeroByte(word ^ (kOnes * byte));
}

// Nonzero when some byte of `word` is 0x80 or above.
constexpr std::uint64_t HasHighByte(std::uint64_t word) { return word & kHighBits; }

} // namespace velmora
