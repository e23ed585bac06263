#pragma once

// Inside the engine: UTF-8 in and out of the 8-bit text, for the streaming
// converter. The characters themselves are codec.h's.

#include "codec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace vesnor::codec {

namespace charset {

inline constexpr char32_t kArmenianCapitalA = 0x0531;
inline constexpr char32_t kArmenianSmallA = 0x0561;
inline constexpr int kLetters = 38;

constexpr std::array<char32_t, 256> makeToUnicode()
{
    std::array<char32_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<char32_t>(b);
    for (int k = 0; k < kLetters; ++k) {
        table[0xB2 + 2 * k] = kArmenianCapitalA + k;
        table[0xB3 + 2 * k] = kArmenianSmallA + k;
    }
    table[0xA8] = 0x0587;
    table[0xA3] = 0x0589;
    table[0xA6] = 0x00BB;
    table[0xA7] = 0x00AB;
    table[0xAA] = 0x055D;
    table[0xAF] = 0x055C;
    table[0xB0] = 0x055B;
    table[0xB1] = 0x055E;
    table[0xFE] = 0x055A;
    table[0xAB] = 0x058A;
    return table;
}

inline constexpr std::array<char32_t, 256> kToUnicode = makeToUnicode();

// Every image lies below U+0800, the range of one- and two-byte UTF-8, so one
// small table answers the way back.
inline constexpr char32_t kReverseLimit = 0x0800;

struct Reverse {
    std::array<std::int16_t, kReverseLimit> byte{};
    constexpr Reverse()
    {
        for (auto &b : byte)
            b = -1;
        for (int b = 0; b < 256; ++b)
            byte[kToUnicode[b]] = static_cast<std::int16_t>(b);
    }
};

inline constexpr Reverse kReverse;

} // namespace charset

// The byte of a character, or nothing: codec.h's fromUnicode, for constant tables.
constexpr std::optional<unsigned char> byteOf(char32_t c)
{
    if (c >= charset::kReverseLimit || charset::kReverse.byte[c] < 0)
        return std::nullopt;
    return static_cast<unsigned char>(charset::kReverse.byte[c]);
}

// The UTF-8 form of a byte's character: one or two bytes.
struct Utf8Bytes {
    std::array<char, 2> bytes{};
    std::uint8_t len = 0;
};
Utf8Bytes utf8Of(unsigned char byte);

// Streaming UTF-8 to 8-bit text: complete sequences of `pending` are turned into
// bytes (foreign characters appended to `foreign`) and removed; an unfinished
// sequence at the end stays for the next chunk unless `final`.
class Utf8Reader {
public:
    // `consumed` bytes of the input came before what the reader is given.
    explicit Utf8Reader(std::uint64_t consumed = 0)
        : offset(consumed)
    {
    }
    std::uint64_t consumed() const { return offset; }

    // Reads the input where it lies, appending to bytes; `used` tells how much was
    // read. Returns the byte offset of the first invalid sequence in the whole input,
    // or nothing when all was valid so far.
    std::optional<std::uint64_t> read(std::string_view input, bool final, std::string &bytes,
        std::u32string &foreign, std::size_t &used);

    // The room the reader writes in past the bytes it yields.
    static constexpr std::size_t kSlack = 64;

    // The same, writing at out, which has room for input.size() + kSlack bytes, and
    // moving it along: a buffer need not be filled first to be written into.
    std::optional<std::uint64_t> read(
        std::string_view input, bool final, char *&out, std::u32string &foreign, std::size_t &used);

private:
    std::uint64_t offset = 0;
};

// A UTF-8 continuation byte: 80-BF.
constexpr bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Two bytes as one 16-bit load from the text reads them: the index of the tables
// that the reader and the walk look pairs of bytes up in.
inline std::size_t twoByteIndex(unsigned char first, unsigned char second)
{
    const std::array<unsigned char, 2> bytes{first, second};
    std::uint16_t index;
    std::memcpy(&index, bytes.data(), 2);
    return index;
}

// The characters set aside while reading, and how many of them are back in place.
struct Originals {
    std::u32string_view foreign;
    std::size_t next = 0;
};

// Writes the UTF-8 of c at out, which has room for four bytes; returns its end.
inline char *putUtf8(char32_t c, char *out)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Appends UTF-8 that a walk wrote, where each kForeign byte still stands for the
// next of the originals: they go back in its place, while there are any.
void appendRestoring(std::string &out, std::string_view utf8, Originals &originals);

} // namespace vesnor::codec
