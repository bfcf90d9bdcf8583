// Looking at eight bytes at once: a 64-bit word loaded from memory, and the bytes in it that
// are zero. Used where a scan over short runs of bytes is on the per-line path.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Text on the per-line path (a line, or a field of one) is followed by at least this many
// readable bytes, which are not its own: a scan may load whole words past the text's end and
// ignore what lies beyond it. Every line a LineReader hands out has them.
inline constexpr std::size_t kReadAhead = 16;

inline constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Returns the 8 bytes at `bytes` as a word, the first byte in the low bits whatever the
// machine's byte order.
inline std::uint64_t load_word(const void* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// Returns a word with the high bit set in bytes that may be zero in `word`: the lowest one
// set is always a zero byte, one above it can be a false alarm.
inline std::uint64_t zero_bytes(std::uint64_t word) {
    return (word - kEveryByte) & ~word & kHighBits;
}

// Returns a word whose low `count` bytes are all ones, the rest zero; `count` is 0 to 8.
inline std::uint64_t low_bytes(std::size_t count) {
    return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// Returns the index of the byte that the lowest set bit of a zero_bytes() result stands for.
inline unsigned first_byte(std::uint64_t found) {
    return static_cast<unsigned>(std::countr_zero(found)) / 8;
}
