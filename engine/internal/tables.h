#pragma once

#include "inside.h"

#include <array>
#include <cstddef>
#include <string_view>

// The whole transliteration lives in three parallel strings of 148 cells. Cell p of
// the Armenian side, the Latin side and the kind string belong together; a token is
// looked up by the first place it occurs as a substring of one side. Cells 1-2 are
// the bar and the space, 3-65 single letters, 66-148 two-letter groups ("TH" | ...)
// separated by bars so that no two-letter search runs from one group into the next.
// Kinds: '1' one letter for one letter, '2' either letter of a two-letter key,
// '0' a continuation (the second Armenian letter of "U"/"u", and the separators).
namespace vesnor::tables {

inline constexpr std::size_t kCells = 148;

inline constexpr std::string_view kArmenianSide
    = "\x7C\x20\xB2\xB4\xF2\xB6\xB8\xBA\xEA\xBC\xBE\xC1\xC6\xC8\xCE\xD6"
      "\xD0\xD8\xDA\xDC\xE0\xE4\xE6\xF0\xEC\xEE\xE0\xF5\xF6\xF8\xFA\xFC"
      "\xB3\xB5\xF3\xB7\xB9\xBB\xEB\xBD\xBF\xC0\xC7\xC9\xCF\xD7\xD1\xD9"
      "\xDB\xDD\xE1\xE5\xE7\xF1\xEB\xED\xEF\xE1\xF5\xF7\xF9\xFD\xFB\xCB"
      "\xCA\xC2\x7C\x7C\xC2\x7C\x7C\xC3\x7C\x7C\xC4\x7C\x7C\xC4\x7C\x7C"
      "\xC5\x7C\x7C\xCA\x7C\x7C\xCA\x7C\x7C\xCB\x7C\x7C\xCC\x7C\x7C\xCC"
      "\x7C\x7C\xCD\x7C\x7C\xD2\x7C\x7C\xD2\x7C\x7C\xD3\x7C\x7C\xD4\x7C"
      "\x7C\xD4\x7C\x7C\xD5\x7C\x7C\xDE\x7C\x7C\xDE\x7C\x7C\xE2\x7C\x7C"
      "\xE2\x7C\x7C\xA8\x7C\x7C\xE8\x7C\x7C\xE3\x7C\x7C\xE8\x7C\x7C\xDF"
      "\x7C\x7C\xE9\x7C";

// Cell 5 holds the Armenian letter itself on the Latin side too, not a Latin "C".
inline constexpr std::string_view kLatinSide
    = "| AB"
      "\xF2"
      "GDESZE@ILK&HMYNOPJRVTUUPQOFabcgdesze@ilk&hmynopjrsvtu|pqfoxX"
      "TH|Th|th|JH|Jh|jh|KH|Kh|kh|TS|Ts|ts|DZ|Dz|dz|GH|Gh|gh|SH|Sh|CH|Ch|ev|RR|ch|Rr|sh|rr";

inline constexpr std::string_view kKinds
    = "1111111111111111111111111100111111111111111111111111111110011111122022022022022022"
      "022022022022022022022022022022022022022022022022022022022022022022";

// Where the regions end (cells counted from 1): capitals, small letters, the last
// single letter; from there on groups of a two-letter key and its bar.
inline constexpr std::size_t kLastCapital = 32;
inline constexpr std::size_t kLastSmall = 64;
inline constexpr std::size_t kLastSingle = 65;
inline constexpr std::size_t kGroupSize = 3;

// Word starts have rules of their own, ahead of the table: these Latin pairs stand
// for one Armenian letter there (and only there)...
struct WordStartPair {
    char first;
    std::string_view seconds; // any of these after `first`
    unsigned char letter;
};
inline constexpr std::array<WordStartPair, 4> kWordStartPairs{{
    {'V', "Oo", 0xE0}, // Ո
    {'v', "o", 0xE1}, // ո
    {'Y', "Ee", 0xBA}, // Ե
    {'y', "e", 0xBB}, // ե
}};

// ...and these letters take a fixed form there, alone: o and O become օ and Օ, and
// back the other way the letters of the pairs above are written out in full.
struct WordStartLetter {
    unsigned char from;
    std::string_view to;
};
inline constexpr std::array<WordStartLetter, 2> kWordStartLatin{{
    {'o', "\xFB"}, // օ
    {'O', "\xFA"}, // Օ
}};
inline constexpr std::array<WordStartLetter, 4> kWordStartArmenian{{
    {0xE0, "Vo"},
    {0xE1, "vo"},
    {0xBA, "Ye"},
    {0xBB, "ye"},
}};

static_assert(kArmenianSide.size() == kCells);
static_assert(kLatinSide.size() == kCells);
static_assert(kKinds.size() == kCells);

} // namespace vesnor::tables
