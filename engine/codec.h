#pragma once

#include <cstddef>
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
// A character with no byte (Cyrillic, emoji, the Latin-1 letters whose numbers the
// Armenian letters took) travels through the engine as kForeign, a byte that no
// table holds, so it is never white space, never pairs with a neighbour and is copied
// unchanged in both directions; its original waits in a side list and is put back in
// order. Every kForeign of the 8-bit text has an entry there, also one that stood for
// U+001A itself, so the k-th kForeign always takes the k-th entry.
namespace vesnor::codec {

inline constexpr unsigned char kForeign = 0x1A;

char32_t toUnicode(unsigned char byte);

// The byte for a character, or nothing when the 8-bit text cannot hold it.
std::optional<unsigned char> fromUnicode(char32_t c);

struct EightBitText {
    std::string bytes;
    std::u32string foreign; // the original of each kForeign in bytes, in order
};

EightBitText encode(std::u32string_view text);

// A kForeign without a matching entry in `foreign` stands for itself, U+001A.
std::u32string decode(std::string_view bytes, std::u32string_view foreign);

void appendUtf8(char32_t c, std::string &out);

} // namespace vesnor::codec
