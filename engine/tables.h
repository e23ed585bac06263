#pragma once

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

static_assert(kArmenianSide.size() == kCells);
static_assert(kLatinSide.size() == kCells);
static_assert(kKinds.size() == kCells);

} // namespace vesnor::tables
