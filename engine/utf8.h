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

    // Reads the input where it lies; `used` tells how much was read. Returns the byte
    // offset of the first invalid sequence in the whole input, or nothing when all was
    // valid so far.
    std::optional<std::uint64_t> read(std::string_view input, bool final, std::string &bytes,
        std::u32string &foreign, std::size_t &used);

private:
    std::uint64_t offset = 0;
};

// Two bytes as one 16-bit load from the text reads them: the index of the tables
// that the reader and the walk look pairs of bytes up in.
inline std::size_t twoByteIndex(unsigned char first, unsigned char second)
{
    const std::array<unsigned char, 2> bytes{first, second};
    std::uint16_t index;
    std::memcpy(&index, bytes.data(), 2);
    return index;
}

// In the UTF-8 that a walk wrote directly from `from` on, each kForeign byte still
// stands for foreign[next...]: puts the originals back, in place.
void restoreForeign(
    std::string &utf8, std::size_t from, std::u32string_view foreign, std::size_t &next);

} // namespace vesnor::codec
