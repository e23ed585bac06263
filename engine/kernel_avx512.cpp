#include "kernels.h"

#include "rules.h"
#include "vesnor/codec.h"
#include "vesnor/utf8.h"
#include "walk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The kernel for processors with AVX-512 byte permutes (VBMI and VBMI2). Its
// lookups are byte tables of at most 512 entries, held in registers, so that a
// lookup for 64 positions is a permute or a few rather than 64 loads.

#ifdef VESNOR_X86
#include <immintrin.h>
#endif

namespace vesnor::detail {

#ifdef VESNOR_X86

namespace {

const ByteTables *sharedTables(Direction direction)
{
    const auto &tables = perDirection(
        direction, [](Direction each) { return buildByteTables(sharedRules(each)); });
    return tables ? &*tables : nullptr;
}

} // namespace

// The instructions the kernel uses (see kernels.h).
#define VESNOR_AVX512_FEATURES(FEATURE, AND)                                                       \
    FEATURE("avx512f")                                                                             \
    AND FEATURE("avx512bw") AND FEATURE("avx512vbmi") AND FEATURE("avx512vbmi2")                   \
        AND FEATURE("popcnt") AND FEATURE("bmi2")
#define VESNOR_TARGET VESNOR_TARGET_OF(VESNOR_AVX512_FEATURES)

namespace {

bool supported()
{
    return VESNOR_SUPPORTS(VESNOR_AVX512_FEATURES);
}

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
};

// How two planes of 64 bytes (byte k of each position's output) are laid out as 64
// positions of two bytes each.
constexpr Indexes makeIndexes()
{
    Indexes result{};
    for (int p = 0; p < 32; ++p) {
        result.pairsLow[2 * p] = static_cast<unsigned char>(p);
        result.pairsLow[2 * p + 1] = static_cast<unsigned char>(64 + p);
        result.pairsHigh[2 * p] = static_cast<unsigned char>(32 + p);
        result.pairsHigh[2 * p + 1] = static_cast<unsigned char>(96 + p);
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

// The UTF-8 of a position is read as (lead, next byte); these five leads hold every
// character that has a byte: Latin-1 and Armenian.
constexpr std::array<unsigned char, 5> kLeads = {0xC2, 0xC3, 0xD4, 0xD5, 0xD6};

struct alignas(64) LeadTables {
    // The byte of (lead, continuation), by the continuation's low six bits; 0 for none.
    std::array<std::array<unsigned char, 64>, kLeads.size()> byte{};
};

constexpr LeadTables makeLeadTables()
{
    LeadTables tables{};
    for (std::size_t l = 0; l < kLeads.size(); ++l) {
        for (unsigned k = 0; k < 64; ++k) {
            const char32_t c = (char32_t{kLeads[l] & 0x1Fu} << 6) | k;
            const auto byte = codec::fromUnicode(c);
            tables.byte[l][k] = byte ? *byte : 0;
        }
    }
    return tables;
}

constexpr LeadTables kLeadTables = makeLeadTables();

VESNOR_TARGET std::size_t read(const unsigned char *s, std::size_t n, char *&out)
{
    __m512i leadByte[kLeads.size()];
    __m512i byteOf[kLeads.size()];
    for (std::size_t l = 0; l < kLeads.size(); ++l) {
        leadByte[l] = _mm512_set1_epi8(static_cast<char>(kLeads[l]));
        byteOf[l] = _mm512_load_si512(kLeadTables.byte[l].data());
    }
    const __m512i foreignByte = _mm512_set1_epi8(static_cast<char>(codec::kForeign));
    const __m512i topTwo = _mm512_set1_epi8(static_cast<char>(0xC0));
    const __m512i continuation = _mm512_set1_epi8(static_cast<char>(0x80));
    char *o = out;
    std::size_t i = 0;
    while (i + 64 < n) {
        const __m512i x = _mm512_loadu_si512(s + i);
        const std::uint64_t high = _mm512_movepi8_mask(x);
        const std::uint64_t foreign = _mm512_cmpeq_epi8_mask(x, foreignByte);
        if (high == 0) {
            if (foreign != 0)
                break;
            _mm512_storeu_si512(o, x);
            o += 64;
            i += 64;
            continue;
        }
        const __m512i next = _mm512_loadu_si512(s + i + 1);
        const std::uint64_t follows
            = _mm512_cmpeq_epi8_mask(_mm512_and_si512(x, topTwo), continuation);
        std::uint64_t leads = 0;
        __m512i bytes = x;
        const __m512i low = _mm512_and_si512(next, _mm512_set1_epi8(0x3F));
        for (std::size_t l = 0; l < kLeads.size(); ++l) {
            const std::uint64_t these = _mm512_cmpeq_epi8_mask(x, leadByte[l]);
            bytes = _mm512_mask_permutexvar_epi8(bytes, these, low, byteOf[l]);
            leads |= these;
        }
        // A lead in the last place has its continuation in the next block.
        const std::uint64_t whole = leads >> 63 ? ~std::uint64_t{0} >> 1 : ~std::uint64_t{0};
        const std::uint64_t unmapped
            = _mm512_mask_cmpeq_epi8_mask(leads & whole, bytes, _mm512_setzero_si512());
        // Where a continuation stands alone, or a lead lacks one, or a byte is neither
        // ASCII nor a lead of the five nor a continuation; what comes before the first
        // of them is taken all the same.
        const std::uint64_t refused
            = (refusedLanes<std::uint64_t>(high, leads, follows, leads << 1) | unmapped | foreign)
            & whole;
        const std::uint64_t taken = takenBefore<std::uint64_t>(refused, whole);
        const std::uint64_t kept = ~follows & taken;
        _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(kept, bytes));
        o += __builtin_popcountll(kept);
        i += static_cast<std::size_t>(__builtin_popcountll(taken));
        if (refused)
            break;
    }
    out = o;
    return i;
}

// Writes the first byte of each of 64 positions where `one` has its bit, each
// followed by its second byte where `two` has it, in order, at o; as much as 64
// bytes past them. Returns the end.
VESNOR_TARGET inline char *writePairs(__m512i first, __m512i second, std::uint64_t one,
    std::uint64_t two, __m512i pairsLow, __m512i pairsHigh, char *o)
{
    // The masks are laid side by side the way the bytes are, as bytes of 0xFF.
    const __m512i ones = _mm512_movm_epi8(one);
    const __m512i twos = _mm512_movm_epi8(two);
    const __mmask64 low = _mm512_movepi8_mask(_mm512_permutex2var_epi8(ones, pairsLow, twos));
    const __mmask64 high = _mm512_movepi8_mask(_mm512_permutex2var_epi8(ones, pairsHigh, twos));
    _mm512_storeu_si512(
        o, _mm512_maskz_compress_epi8(low, _mm512_permutex2var_epi8(first, pairsLow, second)));
    o += __builtin_popcountll(low);
    _mm512_storeu_si512(
        o, _mm512_maskz_compress_epi8(high, _mm512_permutex2var_epi8(first, pairsHigh, second)));
    return o + __builtin_popcountll(high);
}

// The UTF-8 of each byte from 0x80 up: its two bytes.
struct alignas(64) Utf8Planes {
    std::array<unsigned char, 128> lead{};
    std::array<unsigned char, 128> trail{};
};

Utf8Planes makeUtf8Planes()
{
    Utf8Planes planes;
    for (std::size_t c = 0x80; c < 0x100; ++c) {
        const codec::Utf8Bytes utf8 = codec::utf8Of(static_cast<unsigned char>(c));
        planes.lead[c - 0x80] = static_cast<unsigned char>(utf8.bytes[0]);
        planes.trail[c - 0x80] = static_cast<unsigned char>(utf8.bytes[1]);
    }
    return planes;
}

VESNOR_TARGET char *expand(const unsigned char *src, std::size_t n, char *out, Originals *originals)
{
    static const Utf8Planes planes = makeUtf8Planes();
    const Table128 lead = load128(planes.lead.data());
    const Table128 trail = load128(planes.trail.data());
    const __m512i pairsLow = _mm512_load_si512(kIndexes.pairsLow);
    const __m512i pairsHigh = _mm512_load_si512(kIndexes.pairsHigh);
    const __m512i foreignByte = _mm512_set1_epi8(static_cast<char>(codec::kForeign));
    std::size_t i = 0;
    while (i < n) {
        const std::uint64_t present
            = n - i >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (n - i)) - 1;
        const __m512i x = _mm512_maskz_loadu_epi8(present, src + i);
        // The bytes before the first character set aside, then that character.
        const std::uint64_t aside = originals && originals->next < originals->foreign.size()
            ? _mm512_mask_cmpeq_epi8_mask(present, x, foreignByte)
            : 0;
        const std::uint64_t taken = aside ? (aside & (0 - aside)) - 1 : present;
        const std::uint64_t high = _mm512_movepi8_mask(x) & taken;
        if (high == 0) {
            _mm512_storeu_si512(out, x);
            out += __builtin_popcountll(taken);
        } else {
            out = writePairs(_mm512_mask_mov_epi8(x, high, look(lead, x)), look(trail, x), taken,
                high, pairsLow, pairsHigh, out);
        }
        i += static_cast<std::size_t>(__builtin_popcountll(taken));
        if (aside) {
            out = utf8::put(originals->foreign[originals->next++], out);
            ++i;
        }
    }
    return out;
}

// Walks chunks of 64 positions; see the contract in kernels.h.
VESNOR_TARGET std::size_t walkChunks(const ByteTables &tables, const unsigned char *src,
    std::size_t size, std::size_t pos, std::size_t limit, bool wordStart, char *&out)
{
    const Table256 singlePlain = load256(tables.single.data());
    const Table256 singleStart = load256(tables.single.data() + 256);
    const Table256 rowPlain = load256(tables.rowOf.data());
    const Table256 rowStart = load256(tables.rowOf.data() + 256);
    // A byte is looked up by its low six bits: white space below 0x80 finds itself,
    // and every other place holds a byte whose low six bits are not its own, which
    // nothing finds itself in. A0 is looked for on its own.
    constexpr auto kWhite = [] {
        std::array<unsigned char, 64> table{};
        for (std::size_t k = 0; k < table.size(); ++k)
            table[k] = static_cast<unsigned char>((k + 1) % 64);
        for (const unsigned char c : {' ', '\t', '\n', '\r'})
            table[c] = c;
        return table;
    }();
    const __m512i white = _mm512_loadu_si512(kWhite.data());
    const Table256 column = load256(tables.column.data());
    const Table256 owner = load256(tables.owner.data());
    const Table256 pairStep = load256(tables.pairStep.data());
    const Table128 bytes[2] = {load128(tables.bytes[0].data()), load128(tables.bytes[1].data())};
    const __m512i pairsLow = _mm512_load_si512(kIndexes.pairsLow);
    const __m512i pairsHigh = _mm512_load_si512(kIndexes.pairsHigh);

    char *o = out;
    // Chunks follow each other every 64 bytes, so that none waits for the one
    // before: a pair that took the byte after a chunk leaves the next chunk's first
    // position consumed, which is all that is carried.
    std::uint64_t consumedFirst = 0;
    std::uint64_t startsAfter = wordStart ? 1 : 0;
    while (pos < limit && pos + 64 < size) {
        const __m512i x = _mm512_loadu_si512(src + pos);
        const __m512i next = _mm512_loadu_si512(src + pos + 1);
        const __mmask64 high = _mm512_movepi8_mask(x);
        const __mmask64 nextHigh = _mm512_movepi8_mask(next);
        const std::size_t count = limit - pos < 64 ? limit - pos : 64;
        const std::uint64_t inRange
            = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;

        // The step of each position as if it were taken: its pair where the next byte
        // makes one, else the byte's own.
        const std::uint64_t whiteLanes
            = _mm512_cmpeq_epi8_mask(_mm512_permutex2var_epi8(white, x, white), x)
            | _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(static_cast<char>(0xA0)));
        const std::uint64_t starts = (whiteLanes << 1) | startsAfter;
        startsAfter = whiteLanes >> 63;
        // Text below 0x80, nearly all Latin, needs only the lower halves, and a
        // direction whose word starts change no row needs only one table.
        const bool ascii = (high | nextHigh) == 0;
        __m512i row = ascii ? look(rowPlain.low, x) : look(rowPlain, x, high);
        if (tables.rowsAtStartDiffer)
            row = _mm512_mask_blend_epi8(
                starts, row, ascii ? look(rowStart.low, x) : look(rowStart, x, high));
        const __m512i place
            = _mm512_add_epi8(row, ascii ? look(column.low, next) : look(column, next, nextHigh));
        const __mmask64 placeHigh = _mm512_movepi8_mask(place);
        const bool narrow = tables.placesBelow128;
        const std::uint64_t pairs
            = _mm512_cmpeq_epi8_mask(
                  narrow ? look(owner.low, place) : look(owner, place, placeHigh), row)
            & inRange;
        const __m512i single = ascii
            ? _mm512_mask_blend_epi8(starts, look(singlePlain.low, x), look(singleStart.low, x))
            : _mm512_mask_blend_epi8(
                starts, look(singlePlain, x, high), look(singleStart, x, high));
        const __m512i step = _mm512_mask_blend_epi8(
            pairs, single, narrow ? look(pairStep.low, place) : look(pairStep, place, placeHigh));

        const std::uint64_t taken
            = takenPositions(pairs & ~consumedFirst) & ~consumedFirst & inRange;
        consumedFirst = ((taken & pairs) >> (count - 1)) & 1;
        // Each taken position writes its step's one or two bytes, laid side by side
        // in pairs and each kept as far as its length reaches; the rest write nothing.
        // Step 0 writes the byte itself.
        const __m512i plane0 = _mm512_mask_mov_epi8(
            look(bytes[0], step), _mm512_cmpeq_epi8_mask(step, _mm512_setzero_si512()), x);
        const __m512i plane1 = look(bytes[1], step);
        const std::uint64_t two = _mm512_test_epi8_mask(plane1, plane1) & taken;
        o = writePairs(plane0, plane1, taken, two, pairsLow, pairsHigh, o);

        pos += count;
    }
    out = o;
    return pos + consumedFirst;
}

std::size_t walk(Direction direction, const unsigned char *src, std::size_t size, std::size_t pos,
    std::size_t limit, bool wordStart, char *&out)
{
    const ByteTables *tables = sharedTables(direction);
    if (!tables)
        return pos;
    return walkChunks(*tables, src, size, pos, limit, wordStart, out);
}

} // namespace

#endif

const Kernel kAvx512Kernel = VESNOR_VECTOR_KERNEL("avx512", supported, read, walk, expand);

} // namespace vesnor::detail
