#pragma once

// Inside the engine: the walk that writes UTF-8 for 64 positions at a time on
// processors with AVX-512 byte permutes (VBMI and VBMI2). It takes text whose bytes
// are all below 0x80, which is nearly all Latin transliteration; walk.cpp gives the
// rest to the table walk. Its tables are byte tables of at most 256 entries, small
// enough to sit in registers, so the lookups are permutes rather than loads.

#include <array>
#include <cstddef>

namespace vesnor::detail {

// A step is looked up by (word start, byte) as one index: the byte with the
// word-start flag as its top bit. Steps are numbered; step 0 writes the byte itself.
struct alignas(64) VectorTables {
    static constexpr std::size_t kSteps = 128;

    std::array<unsigned char, 128> white{}; // nonzero where the byte starts a word
    std::array<unsigned char, 256> single{}; // the step of a byte that is not a pair
    // A pair is found by row displacement: a first byte's row starts at rowOf[index]
    // (0 when it starts no pair), the next byte adds its column, and the place is the
    // pair only when owner[place] is that row's start.
    std::array<unsigned char, 256> rowOf{};
    std::array<unsigned char, 128> column{};
    std::array<unsigned char, 256> owner{};
    std::array<unsigned char, 256> pairStep{};
    // The UTF-8 of each step: up to four bytes, and how many.
    std::array<std::array<unsigned char, kSteps>, 4> bytes{};
    std::array<unsigned char, kSteps> length{};
};

// Whether this processor can run the vector walk.
bool vectorWalkSupported();

// Walks src from pos in chunks of 64 positions while each chunk and the byte after
// it are below 0x80 and the chunk holds no codec::kForeign byte, never walking a
// position from `limit` on: the byte at limit is only read as the next byte of the
// one before.
// Each chunk begun reads src[pos] to src[pos + 64], so the caller keeps
// pos + 64 < size. `wordStart` tells whether white space stood before src[pos].
// Writes the UTF-8 at out, as much as 64 bytes past its end, and moves out along.
// Returns where the next step begins: at limit or just after it, or at or just after
// the start of the chunk it could not take. lastStart is where the last step it took
// began, when it took one.
std::size_t walkAscii(const VectorTables &tables, const unsigned char *src, std::size_t size,
    std::size_t pos, std::size_t limit, bool wordStart, char *&out, std::size_t &lastStart);

} // namespace vesnor::detail
