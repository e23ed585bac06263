#include "vectorwalk.h"

#include "codec.h"

#include <cstdint>

#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
#define VESNOR_VECTOR_WALK 1
#include <immintrin.h>
#endif

namespace vesnor::detail {

#ifdef VESNOR_VECTOR_WALK

// Only these functions use the instructions, so the rest of the program runs on any
// x86-64 processor.
#define VESNOR_TARGET                                                                              \
    __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt,lzcnt")))

namespace {

struct Table128 {
    __m512i low;
    __m512i high;
};

struct Table256 {
    Table128 low;
    Table128 high;
};

VESNOR_TARGET inline Table128 load128(const unsigned char *table)
{
    return {_mm512_loadu_si512(table), _mm512_loadu_si512(table + 64)};
}

VESNOR_TARGET inline Table256 load256(const unsigned char *table)
{
    return {load128(table), load128(table + 128)};
}

// A permute reads 128 entries by the low seven bits of each index byte.
VESNOR_TARGET inline __m512i look(const Table128 &table, __m512i index)
{
    return _mm512_permutex2var_epi8(table.low, index, table.high);
}

// Where the top bit of an index is known as a mask, 256 entries take two permutes.
VESNOR_TARGET inline __m512i look(const Table256 &table, __m512i index, __mmask64 top)
{
    return _mm512_mask_blend_epi8(top, look(table.low, index), look(table.high, index));
}

struct Indexes {
    alignas(64) unsigned char pairsLow[64];
    alignas(64) unsigned char pairsHigh[64];
    alignas(64) unsigned char quadsLow[64];
    alignas(64) unsigned char quadsHigh[64];
    alignas(64) unsigned char repeat[4][64];
    alignas(64) unsigned char slot[64];
};

// How four planes of 64 bytes (byte k of each position's UTF-8) are laid out as 64
// positions of four bytes each.
constexpr Indexes makeIndexes()
{
    Indexes result{};
    for (int p = 0; p < 32; ++p) {
        result.pairsLow[2 * p] = static_cast<unsigned char>(p);
        result.pairsLow[2 * p + 1] = static_cast<unsigned char>(64 + p);
        result.pairsHigh[2 * p] = static_cast<unsigned char>(32 + p);
        result.pairsHigh[2 * p + 1] = static_cast<unsigned char>(96 + p);
    }
    for (int p = 0; p < 16; ++p) {
        for (int k = 0; k < 4; ++k) {
            const int from = k < 2 ? 2 * p + k : 64 + 2 * p + k - 2;
            result.quadsLow[4 * p + k] = static_cast<unsigned char>(from);
            result.quadsHigh[4 * p + k] = static_cast<unsigned char>(from + 32);
            for (int q = 0; q < 4; ++q)
                result.repeat[q][4 * p + k] = static_cast<unsigned char>(16 * q + p);
            result.slot[4 * p + k] = static_cast<unsigned char>(k);
        }
    }
    return result;
}

constexpr Indexes kIndexes = makeIndexes();

// The positions a walk takes from the positions whose step is a pair, when the first
// is taken: in each run of pairs every other position is taken, and a position after
// a taken pair is not. Adding a run's first bit carries through the run to the
// position after it, which marks the run with its end; the parity of where the run
// starts tells which of its positions the pairs before them consumed.
constexpr std::uint64_t takenPositions(std::uint64_t pairs)
{
    constexpr std::uint64_t kEven = 0x5555555555555555ull;
    const std::uint64_t starts = pairs & ~(pairs << 1);
    const std::uint64_t evenRuns = (pairs + (starts & kEven)) ^ pairs;
    const std::uint64_t oddRuns = (pairs + (starts & ~kEven)) ^ pairs;
    return ~((evenRuns & ~kEven) | (oddRuns & kEven));
}

static_assert(takenPositions(0b0111) == ~std::uint64_t{0b1010}); // rrrr: r|r r|r
static_assert(takenPositions(0b0110) == ~std::uint64_t{0b0100}); // a, then rr|r
static_assert(takenPositions(0b1011) == ~std::uint64_t{0b10010}); // pair, single, pair

} // namespace

bool vectorWalkSupported()
{
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
        && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2");
}

VESNOR_TARGET std::size_t walkAscii(const VectorTables &tables, const unsigned char *src,
    std::size_t size, std::size_t pos, std::size_t limit, bool wordStart, char *&out,
    std::size_t &lastStart)
{
    const Table128 white = load128(tables.white.data());
    const Table256 single = load256(tables.single.data());
    const Table256 rowOf = load256(tables.rowOf.data());
    const Table128 column = load128(tables.column.data());
    const Table256 owner = load256(tables.owner.data());
    const Table256 pairStep = load256(tables.pairStep.data());
    const Table128 length = load128(tables.length.data());
    const Table128 bytes[4] = {load128(tables.bytes[0].data()), load128(tables.bytes[1].data()),
        load128(tables.bytes[2].data()), load128(tables.bytes[3].data())};
    const __m512i pairsLow = _mm512_load_si512(kIndexes.pairsLow);
    const __m512i pairsHigh = _mm512_load_si512(kIndexes.pairsHigh);
    const __m512i quadsLow = _mm512_load_si512(kIndexes.quadsLow);
    const __m512i quadsHigh = _mm512_load_si512(kIndexes.quadsHigh);
    const __m512i slot = _mm512_load_si512(kIndexes.slot);
    const __m512i foreignByte = _mm512_set1_epi8(static_cast<char>(codec::kForeign));

    char *o = out;
    // Chunks follow each other every 64 bytes, so that none waits for the one
    // before: a pair that took the byte after a chunk leaves the next chunk's first
    // position consumed, which is all that is carried.
    std::uint64_t consumedFirst = 0;
    std::uint64_t startsAfter = wordStart ? 1 : 0;
    while (pos < limit && pos + 64 < size) {
        const __m512i x = _mm512_loadu_si512(src + pos);
        const __m512i next = _mm512_loadu_si512(src + pos + 1);
        // The byte that stands for a foreign character is left to the table walk too,
        // so that text read from UTF-8 can be walked where it lies.
        if ((_mm512_movepi8_mask(_mm512_or_si512(x, next)) | _mm512_cmpeq_epi8_mask(x, foreignByte))
            != 0)
            break;
        const std::size_t count = limit - pos < 64 ? limit - pos : 64;
        const std::uint64_t inRange
            = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;

        // The step of each position as if it were taken: its pair where the next byte
        // makes one, else the byte's own.
        const __m512i whiteBytes = look(white, x);
        const std::uint64_t whiteLanes = _mm512_test_epi8_mask(whiteBytes, whiteBytes);
        const std::uint64_t starts = (whiteLanes << 1) | startsAfter;
        startsAfter = whiteLanes >> 63;
        const __m512i row = look(rowOf, x, starts);
        const __m512i place = _mm512_add_epi8(row, look(column, next));
        const __mmask64 high = _mm512_movepi8_mask(place);
        const std::uint64_t pairs = _mm512_cmpeq_epi8_mask(look(owner, place, high), row) & inRange;
        const __m512i step
            = _mm512_mask_blend_epi8(pairs, look(single, x, starts), look(pairStep, place, high));

        const std::uint64_t taken
            = takenPositions(pairs & ~consumedFirst) & ~consumedFirst & inRange;
        consumedFirst = ((taken & pairs) >> (count - 1)) & 1;
        if (taken != 0)
            lastStart = pos + 63 - static_cast<std::size_t>(__builtin_clzll(taken));
        // Each taken position writes its step's bytes; the rest write nothing.
        const __m512i plane0 = _mm512_mask_mov_epi8(
            look(bytes[0], step), _mm512_cmpeq_epi8_mask(step, _mm512_setzero_si512()), x);
        const __m512i plane1 = look(bytes[1], step);
        const __m512i plane2 = look(bytes[2], step);
        const __m512i plane3 = look(bytes[3], step);
        const __m512i lengths = _mm512_maskz_mov_epi8(taken, look(length, step));
        const __m512i firstTwoLow = _mm512_permutex2var_epi8(plane0, pairsLow, plane1);
        const __m512i firstTwoHigh = _mm512_permutex2var_epi8(plane0, pairsHigh, plane1);
        const __m512i lastTwoLow = _mm512_permutex2var_epi8(plane2, pairsLow, plane3);
        const __m512i lastTwoHigh = _mm512_permutex2var_epi8(plane2, pairsHigh, plane3);
        const __m512i quads[4] = {
            _mm512_permutex2var_epi8(firstTwoLow, quadsLow, lastTwoLow),
            _mm512_permutex2var_epi8(firstTwoLow, quadsHigh, lastTwoLow),
            _mm512_permutex2var_epi8(firstTwoHigh, quadsLow, lastTwoHigh),
            _mm512_permutex2var_epi8(firstTwoHigh, quadsHigh, lastTwoHigh),
        };
        for (int q = 0; q < 4; ++q) {
            const __m512i repeated
                = _mm512_permutex2var_epi8(lengths, _mm512_load_si512(kIndexes.repeat[q]), lengths);
            const __mmask64 written = _mm512_cmpgt_epu8_mask(repeated, slot);
            _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(written, quads[q]));
            o += __builtin_popcountll(written);
        }

        pos += count;
    }
    out = o;
    return pos + consumedFirst;
}

#else

bool vectorWalkSupported()
{
    return false;
}

std::size_t walkAscii(const VectorTables &, const unsigned char *, std::size_t, std::size_t pos,
    std::size_t, bool, char *&, std::size_t &)
{
    return pos;
}

#endif

} // namespace vesnor::detail
