#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Between the engine's 8-bit text and Unicode. Each byte has exactly one Unicode
// character and back:
//   00-7F  ASCII
//   B2+2k  the capital of the k-th Armenian letter, U+0531+k (k = 0..37)
//   B3+2k  its small letter, U+0561+k
//   A8     the ligature U+0587
//   A3 ։ U+0589, A6 » U+00BB, A7 « U+00AB, AA ՝ U+055D, AF ՜ U+055C, B0 ՛ U+055B,
//   B1 ՞ U+055E, FE ՚ U+055A   (where Armenian 8-bit fonts put their punctuation)
//   AB     the Armenian hyphen U+058A: its Latin-1 twin « already belongs to A7
//   others the Latin-1 character of the same number (U+0080-U+00A2, ¤, ¥, ©, ¬,
//          soft hyphen, ®, ÿ)
// This is the one statement of that layout: the window, the vector kernels and the
// page all derive theirs from it.
//
// A character with no byte (Cyrillic, emoji, the Latin-1 letters whose numbers the
// Armenian letters took) travels through the engine as kForeign, a byte that no
// table holds, so it is never white space, never pairs with a neighbour and is copied
// unchanged in both directions; its original waits in a side list and is put back in
// order. Every kForeign of the 8-bit text has an entry there, also one that stood for
// U+001A itself, so the k-th kForeign always takes the k-th entry.
namespace vesnor::codec {

inline constexpr unsigned char kForeign = 0x1A;

inline constexpr unsigned char kFirstCapital = 0xB2;
inline constexpr char32_t kArmenianCapitalA = 0x0531;
inline constexpr char32_t kArmenianSmallA = 0x0561;
inline constexpr int kLetters = 38;

inline constexpr std::array<char32_t, 256> kToUnicode = [] {
    std::array<char32_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<char32_t>(b);
    for (int k = 0; k < kLetters; ++k) {
        table[kFirstCapital + 2 * k] = kArmenianCapitalA + k;
        table[kFirstCapital + 1 + 2 * k] = kArmenianSmallA + k;
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
}();

constexpr char32_t toUnicode(unsigned char byte)
{
    return kToUnicode[byte];
}

// Every character lies below U+0800, the range of one- and two-byte UTF-8, so one
// small table answers the way back.
inline constexpr char32_t kReverseLimit = 0x0800;

inline constexpr std::array<std::int16_t, kReverseLimit> kFromUnicode = [] {
    std::array<std::int16_t, kReverseLimit> table{};
    table.fill(-1);
    for (int b = 0; b < 256; ++b)
        table[kToUnicode[b]] = static_cast<std::int16_t>(b);
    return table;
}();

// The byte for a character, or nothing when the 8-bit text cannot hold it.
constexpr std::optional<unsigned char> fromUnicode(char32_t c)
{
    if (c >= kReverseLimit || kFromUnicode[c] < 0)
        return std::nullopt;
    return static_cast<unsigned char>(kFromUnicode[c]);
}

// The UTF-8 form of a byte's character: one or two bytes.
struct Utf8Bytes {
    std::array<char, 2> bytes{};
    std::uint8_t len = 0;
};

constexpr Utf8Bytes utf8Of(unsigned char byte)
{
    const char32_t c = kToUnicode[byte];
    if (c < 0x80)
        return {{static_cast<char>(c), 0}, 1};
    return {{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))}, 2};
}

struct EightBitText {
    std::string bytes;
    std::u32string foreign; // the original of each kForeign in bytes, in order
};

// A kForeign without a matching entry in `foreign` stands for itself, U+001A.
std::u32string decode(std::string_view bytes, std::u32string_view foreign);

} // namespace vesnor::codec
