#include "kernels.h"

#include "vesnor/codec.h"
#include "vesnor/utf8.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

// The kernel for any processor: plain C++, with no vector walk; walk.cpp's table
// walk does all the walking.

namespace vesnor::detail {

namespace {

using codec::kForeign;
using utf8::isContinuation;

// The table below costs more to build than a short text costs to read without it.
std::atomic<bool> tableBuilt{false};

// The fast path of the reader looks at every byte of the input together with the
// next one, as one 16-bit index, and learns from one table what the byte yields:
// its 8-bit byte (low byte), whether it yields one (a continuation byte does not),
// and whether the fast path must leave the text to the careful one (an invalid or
// foreign sequence, U+001A, a sequence longer than two bytes).
constexpr std::uint16_t kYields = 0x100;
constexpr std::uint16_t kCareful = 0x8000;

bool isTwoByteLead(unsigned char b)
{
    return b >= 0xC2 && b <= 0xDF;
}

std::uint16_t pairEntry(unsigned char first, unsigned char second)
{
    // A continuation must follow a two-byte lead; the lead's own entry checks it,
    // so every other byte refuses one after it.
    if (isTwoByteLead(first)) {
        if (!isContinuation(second))
            return kCareful;
        const std::int16_t byte
            = codec::kFromUnicode[(char32_t{first & 0x1Fu} << 6) | (second & 0x3Fu)];
        if (byte < 0 || byte == kForeign)
            return kCareful;
        return static_cast<std::uint16_t>(kYields | byte);
    }
    if (isContinuation(second))
        return kCareful;
    if (isContinuation(first))
        return 0;
    if (first < 0x80 && first != kForeign)
        return static_cast<std::uint16_t>(kYields | first);
    return kCareful;
}

const std::vector<std::uint16_t> &pairEntries()
{
    static const std::vector<std::uint16_t> entries = [] {
        tableBuilt.store(true, std::memory_order_release);
        std::vector<std::uint16_t> table(65536);
        for (unsigned first = 0; first < 256; ++first)
            for (unsigned second = 0; second < 256; ++second)
                table[twoByteIndex(
                    static_cast<unsigned char>(first), static_cast<unsigned char>(second))]
                    = pairEntry(
                        static_cast<unsigned char>(first), static_cast<unsigned char>(second));
        return table;
    }();
    return entries;
}

constexpr std::size_t kFastRun = 32;
constexpr std::size_t kWord = 8;

// `length` bytes of plain ASCII without U+001A, and no continuation byte after them.
template<std::size_t length> bool plainAscii(const unsigned char *s)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::uint64_t any = 0;
    for (std::size_t k = 0; k < length; k += kWord) {
        std::uint64_t word;
        std::memcpy(&word, s + k, kWord);
        const std::uint64_t foreignBytes = word ^ (kOnes * kForeign);
        any |= word | ((foreignBytes - kOnes) & ~foreignBytes);
    }
    return (any & kHighs) == 0 && !isContinuation(s[length]);
}

// Reads kFastRun bytes of s, which must be followed by one more, into out, up to the
// first that the careful path must read: returns how many it took, having moved out
// along. Words of plain ASCII are copied as they stand, so that Latin text with a
// character from 0x80 up here and there is read a word at a time all the same.
std::size_t fastRun(const unsigned char *s, char *&out, const std::uint16_t *entries)
{
    char *o = out;
    if (plainAscii<kFastRun>(s)) {
        std::memcpy(o, s, kFastRun);
        out = o + kFastRun;
        return kFastRun;
    }
    for (std::size_t w = 0; w < kFastRun; w += kWord) {
        if (plainAscii<kWord>(s + w)) {
            std::memcpy(o, s + w, kWord);
            o += kWord;
            continue;
        }
#pragma GCC unroll 8
        for (std::size_t k = w; k < w + kWord; ++k) {
            std::uint16_t index;
            std::memcpy(&index, s + k, 2);
            const std::uint16_t entry = entries[index];
            if (entry & kCareful) {
                // A continuation refused here belongs to the lead before it, whose
                // character is left to the careful path too.
                if (isContinuation(s[k])) {
                    --k;
                    --o;
                }
                out = o;
                return k;
            }
            *o = static_cast<char>(entry);
            o += (entry >> 8) & 1;
        }
    }
    out = o;
    return kFastRun;
}

std::size_t read(const unsigned char *s, std::size_t n, char *&out)
{
    if (n < kShortText && !tableBuilt.load(std::memory_order_acquire))
        return 0;
    // A pointer of its own: the writes through `out` could otherwise alias the
    // vector's, and the compiler would read it again for every byte.
    const std::uint16_t *entries = pairEntries().data();
    std::size_t i = 0;
    // A continuation byte with no lead before it is the careful path's to report:
    // the table looks only forward from a lead.
    while (i + kFastRun < n && !isContinuation(s[i])) {
        const std::size_t taken = fastRun(s + i, out, entries);
        i += taken;
        if (taken < kFastRun)
            break;
        // A run that ends on a lead byte has read its continuation with it.
        if (isTwoByteLead(s[i - 1]))
            ++i;
    }
    return i;
}

} // namespace

const Kernel kPortableKernel{"portable", [] { return true; }, read, nullptr, nullptr};

} // namespace vesnor::detail
