#include "kernels.h"

#include "vesnor/codec.h"
#include "vesnor/utf8.h"

#include <array>
#include <cstdint>

// The kernel for processors with AVX2 but without AVX-512's byte permutes: most
// laptops. Its byte lookups (vpshufb) reach 16 entries, too few for the walk's
// tables, so it walks with walk.cpp's table walk; what it does 32 bytes at a time
// is reading UTF-8, where Armenian letters follow from their code by arithmetic.

#ifdef VESNOR_X86
#include <immintrin.h>
#endif

namespace vesnor::detail {

#ifdef VESNOR_X86

// The instructions the kernel uses (see kernels.h).
#define VESNOR_AVX2_FEATURES(FEATURE, AND) FEATURE("avx2") AND FEATURE("popcnt")
#define VESNOR_TARGET VESNOR_TARGET_OF(VESNOR_AVX2_FEATURES)

namespace {

bool supported()
{
    return VESNOR_SUPPORTS(VESNOR_AVX2_FEATURES);
}

// For each pattern of eight bits, the shuffle that packs the bytes whose bit is
// set to the front: how the continuation bytes of UTF-8 are dropped. The second
// table does the same for the upper eight bytes of sixteen.
struct Packing {
    std::array<std::array<unsigned char, 8>, 256> shuffle{};
    std::array<std::array<unsigned char, 8>, 256> upper{};
};

constexpr Packing makePacking()
{
    Packing packing{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned next = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (mask & (1u << bit)) {
                packing.shuffle[mask][next] = static_cast<unsigned char>(bit);
                packing.upper[mask][next++] = static_cast<unsigned char>(8 + bit);
            }
        }
        for (; next < 8; ++next) {
            packing.shuffle[mask][next] = 0x80;
            packing.upper[mask][next] = 0x80;
        }
    }
    return packing;
}

constexpr Packing kPacking = makePacking();

// The bytes of 16 characters from each start on, a row each; 0 where there is none.
template<std::size_t Rows> struct alignas(16) ByteRows {
    std::array<std::array<unsigned char, 16>, Rows> row{};
};

template<std::size_t Rows>
constexpr ByteRows<Rows> byteRows(const std::array<char32_t, Rows> &starts)
{
    ByteRows<Rows> rows{};
    for (std::size_t r = 0; r < Rows; ++r) {
        for (unsigned k = 0; k < 16; ++k) {
            const auto byte = codec::fromUnicode(starts[r] + k);
            rows.row[r][k] = byte ? *byte : 0;
        }
    }
    return rows;
}

// The Latin-1 characters after leads C2 and C3 (U+0080-U+00FF), by the lead and the
// continuation's low six bits; and the Armenian punctuation by its code less U+0550
// and U+0580, where the letters around it leave room.
constexpr auto kLatinRows = byteRows<8>({0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0});
constexpr auto kPunctuationRows = byteRows<2>({0x550, 0x580});

// The same byte in every lane, as a value the compiler does not know: it keeps it in
// a register or on the stack instead of building it again from an immediate in
// every iteration of a loop, two instructions on the shuffle port each time.
VESNOR_TARGET inline __m256i constant(unsigned char byte)
{
    __m256i value = _mm256_set1_epi8(static_cast<char>(byte));
    asm("" : "+x"(value));
    return value;
}

// Unsigned x <= limit, bytewise, as a mask of 0xFF lanes.
VESNOR_TARGET inline __m256i atMost(__m256i x, __m256i limit)
{
    return _mm256_cmpeq_epi8(_mm256_min_epu8(x, limit), x);
}

VESNOR_TARGET inline __m256i broadcastRow(const std::array<unsigned char, 16> &row)
{
    return _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i *>(row.data())));
}

// Writes the bytes of x whose bit in keep is set, in order, at o; as much as 8
// bytes past them.
VESNOR_TARGET inline char *pack(__m256i x, std::uint32_t keep, char *o)
{
    for (int lane = 0; lane < 2; ++lane) {
        const __m128i half = lane ? _mm256_extracti128_si256(x, 1) : _mm256_castsi256_si128(x);
        const unsigned low = (keep >> (16 * lane)) & 0xFF;
        const unsigned high = (keep >> (16 * lane + 8)) & 0xFF;
        const __m128i control = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i *>(kPacking.shuffle[low].data())),
            _mm_loadl_epi64(reinterpret_cast<const __m128i *>(kPacking.upper[high].data())));
        const __m128i packed = _mm_shuffle_epi8(half, control);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(o), packed);
        o += __builtin_popcount(low);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(o), _mm_srli_si128(packed, 8));
        o += __builtin_popcount(high);
    }
    return o;
}

// The letters' arithmetic below follows the layout: U+0500-U+05BF behind leads D4-D6,
// each capital two bytes after the one before, its small letter right behind it.
constexpr char32_t kArmenianBlock = 0x500;
constexpr unsigned char kArmenianLead = 0xC0 | (kArmenianBlock >> 6);
static_assert([] {
    for (int k = 0; k < codec::kLetters; ++k)
        if (codec::fromUnicode(codec::kArmenianCapitalA + k) != codec::kFirstCapital + 2 * k
            || codec::fromUnicode(codec::kArmenianSmallA + k) != codec::kFirstCapital + 2 * k + 1)
            return false;
    return true;
}());

VESNOR_TARGET std::size_t read(const unsigned char *s, std::size_t n, char *&out)
{
    const __m256i foreignByte = constant(codec::kForeign);
    const __m256i topTwo = constant(0xC0);
    const __m256i sixBits = constant(0x3F);
    const __m256i firstLead = constant(kArmenianLead);
    const __m256i two = constant(2);
    const __m256i firstCapital = constant(codec::kArmenianCapitalA - kArmenianBlock);
    const __m256i capitalsToSmall = constant(codec::kArmenianSmallA - codec::kArmenianCapitalA);
    const __m256i lastLetter = constant(codec::kLetters - 1);
    const __m256i firstByte = constant(codec::kFirstCapital);
    const __m256i topNibble = constant(0xF0);
    const __m256i punctuationFirst = constant(0x50);
    const __m256i punctuationSecond = constant(0x80);
    const __m256i one = constant(1);
    const __m256i secondLatin1Lead = constant(0xC3);
    const __m256i punctuation[2]
        = {broadcastRow(kPunctuationRows.row[0]), broadcastRow(kPunctuationRows.row[1])};
    char *o = out;
    std::size_t i = 0;
    // Whether the last block ended with a lead, already written, whose continuation
    // opens this one. Blocks follow every 32 bytes, so that the next load waits for
    // nothing this block works out.
    std::uint32_t carried = 0;
    while (i + 32 < n) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + i));
        const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(x));
        const auto foreign
            = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, foreignByte)));
        if (high == 0) {
            if (foreign != 0)
                break;
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(o), x);
            o += 32;
            i += 32;
            continue;
        }
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s + i + 1));
        const __m256i k = _mm256_and_si256(next, sixBits);
        // Continuations, 80-BF, are the bytes below C0 taken as signed.
        const auto follows
            = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(topTwo, x)));

        // Armenian: leads D4-D6 hold U+0500-U+05BF, t = the code less U+0500.
        const __m256i leadRow = _mm256_sub_epi8(x, firstLead);
        const __m256i armenianLead = atMost(leadRow, two);
        const __m256i t
            = _mm256_add_epi8(_mm256_and_si256(_mm256_slli_epi16(leadRow, 6), topTwo), k);
        // Capitals U+0531-U+0556 are B2, B4, ...; small letters U+0561-U+0586 B3, B5,
        // ...: w counts from the first capital or the first small letter, whichever
        // it lies above.
        const __m256i fromCapital = _mm256_sub_epi8(t, firstCapital);
        const __m256i fromSmall = _mm256_sub_epi8(fromCapital, capitalsToSmall);
        const __m256i w = _mm256_min_epu8(fromCapital, fromSmall);
        const __m256i letters = atMost(w, lastLetter);
        const __m256i letter = _mm256_sub_epi8(
            _mm256_add_epi8(_mm256_add_epi8(w, w), firstByte), _mm256_cmpeq_epi8(w, fromSmall));
        // The punctuation's rows hold the letters among it as well, with the same bytes.
        const __m256i sixteen = _mm256_and_si256(t, topNibble);
        __m256i armenian = _mm256_or_si256(_mm256_and_si256(letters, letter),
            _mm256_or_si256(_mm256_and_si256(_mm256_cmpeq_epi8(sixteen, punctuationFirst),
                                _mm256_shuffle_epi8(punctuation[0], t)),
                _mm256_and_si256(_mm256_cmpeq_epi8(sixteen, punctuationSecond),
                    _mm256_shuffle_epi8(punctuation[1], _mm256_xor_si256(t, punctuationSecond)))));

        // Latin-1 after leads C2 and C3: eight rows of 16 by the lead and the top two
        // of the six bits. It is seldom there in Armenian or Latin text, and so looked
        // up only where it is.
        const __m256i latinLead = _mm256_cmpeq_epi8(_mm256_or_si256(x, one), secondLatin1Lead);
        __m256i mapped = _mm256_and_si256(armenianLead, armenian);
        if (!_mm256_testz_si256(latinLead, latinLead)) {
            const __m256i kLow = _mm256_and_si256(k, _mm256_set1_epi8(0x0F));
            const __m256i row
                = _mm256_or_si256(_mm256_srli_epi16(_mm256_and_si256(k, _mm256_set1_epi8(0x30)), 4),
                    _mm256_and_si256(_mm256_cmpeq_epi8(x, secondLatin1Lead), _mm256_set1_epi8(4)));
            __m256i latinByte = _mm256_setzero_si256();
            for (std::size_t r = 0; r < kLatinRows.row.size(); ++r)
                latinByte = _mm256_or_si256(latinByte,
                    _mm256_and_si256(_mm256_cmpeq_epi8(row, _mm256_set1_epi8(static_cast<char>(r))),
                        _mm256_shuffle_epi8(broadcastRow(kLatinRows.row[r]), kLow)));
            mapped = _mm256_or_si256(mapped, _mm256_and_si256(latinLead, latinByte));
        }
        const __m256i leadLanes = _mm256_or_si256(armenianLead, latinLead);
        const auto leads = static_cast<std::uint32_t>(_mm256_movemask_epi8(leadLanes));
        const auto unmappedLanes = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(mapped, _mm256_setzero_si256())));
        const __m256i bytes = _mm256_blendv_epi8(x, mapped, leadLanes);

        // A lead in the last place is read with its continuation, the next block's
        // first byte, which that block then passes over.
        const std::uint32_t lastLeadAlone
            = (leads >> 31) & static_cast<std::uint32_t>(!utf8::isContinuation(s[i + 32]));
        const std::uint32_t refused
            = refusedLanes<std::uint32_t>(high, leads, follows, (leads << 1) | carried)
            | (lastLeadAlone << 31) | (leads & unmappedLanes) | foreign;
        const std::uint32_t taken = takenBefore<std::uint32_t>(refused, 0xFFFFFFFFu);
        o = pack(bytes, ~follows & taken, o);
        if (refused) {
            i += static_cast<std::size_t>(__builtin_popcount(taken));
            carried = 0;
            break;
        }
        carried = leads >> 31;
        i += 32;
    }
    out = o;
    return i + carried;
}

} // namespace

#endif

const Kernel kAvx2Kernel = VESNOR_VECTOR_KERNEL("avx2", supported, read, nullptr, nullptr);

} // namespace vesnor::detail
