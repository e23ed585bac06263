#include "kernels.h"

#include "codec.h"
#include "utf8.h"

#include <array>
#include <cstdint>

// The kernel for processors with AVX2 but without AVX-512's byte permutes: most
// laptops. Its byte lookups (vpshufb) reach 16 entries, too few for the walk's
// tables, so it walks with walk.cpp's table walk; what it does 32 bytes at a time
// is reading UTF-8, where Armenian letters follow from their code by arithmetic.

#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
#define VESNOR_AVX2 1
#include <immintrin.h>
#endif

namespace vesnor::detail {

#ifdef VESNOR_AVX2

// The instructions the kernel uses (see kernels.h).
#define VESNOR_AVX2_FEATURES(FEATURE, AND) FEATURE("avx2") AND FEATURE("popcnt")
#define VESNOR_TARGET VESNOR_TARGET_OF(VESNOR_AVX2_FEATURES)

namespace {

bool supported()
{
    return VESNOR_SUPPORTS(VESNOR_AVX2_FEATURES);
}

// For each pattern of eight bits, the shuffle that packs the bytes whose bit is
// set to the front: how the continuation bytes of UTF-8 are dropped.
struct Packing {
    std::array<std::array<unsigned char, 8>, 256> shuffle{};
};

constexpr Packing makePacking()
{
    Packing packing{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned next = 0;
        for (unsigned bit = 0; bit < 8; ++bit)
            if (mask & (1u << bit))
                packing.shuffle[mask][next++] = static_cast<unsigned char>(bit);
        while (next < 8)
            packing.shuffle[mask][next++] = 0x80;
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
            const auto byte = codec::byteOf(starts[r] + k);
            rows.row[r][k] = byte ? *byte : 0;
        }
    }
    return rows;
}

// The Latin-1 characters after lead C2 (U+0080-U+00BF), by the continuation's low
// six bits; and the Armenian punctuation by its code less U+0550 and U+0580, where
// the letters around it leave room.
constexpr auto kLatinRows = byteRows<4>({0x80, 0x90, 0xA0, 0xB0});
constexpr auto kPunctuationRows = byteRows<2>({0x550, 0x580});

// Unsigned a <= x <= b, bytewise, as a mask of 0xFF lanes.
VESNOR_TARGET inline __m256i within(__m256i x, unsigned char a, unsigned char b)
{
    const __m256i low = _mm256_set1_epi8(static_cast<char>(a));
    const __m256i high = _mm256_set1_epi8(static_cast<char>(b));
    return _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(x, low), x),
        _mm256_cmpeq_epi8(_mm256_min_epu8(x, high), x));
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
        std::uint64_t first;
        std::uint64_t second;
        __builtin_memcpy(&first, kPacking.shuffle[low].data(), 8);
        __builtin_memcpy(&second, kPacking.shuffle[high].data(), 8);
        // The second group's indexes point into the upper eight bytes.
        second |= 0x0808080808080808ull & ~((second & 0x8080808080808080ull) >> 4);
        const __m128i control
            = _mm_set_epi64x(static_cast<long long>(second), static_cast<long long>(first));
        const __m128i packed = _mm_shuffle_epi8(half, control);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(o), packed);
        o += __builtin_popcount(low);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(o), _mm_srli_si128(packed, 8));
        o += __builtin_popcount(high);
    }
    return o;
}

VESNOR_TARGET std::size_t read(const unsigned char *s, std::size_t n, char *&out)
{
    const __m256i foreignByte = _mm256_set1_epi8(static_cast<char>(codec::kForeign));
    const __m256i latin[4] = {broadcastRow(kLatinRows.row[0]), broadcastRow(kLatinRows.row[1]),
        broadcastRow(kLatinRows.row[2]), broadcastRow(kLatinRows.row[3])};
    const __m256i punctuation[2]
        = {broadcastRow(kPunctuationRows.row[0]), broadcastRow(kPunctuationRows.row[1])};
    const __m256i sixBits = _mm256_set1_epi8(0x3F);
    const __m256i lowNibble = _mm256_set1_epi8(0x0F);
    char *o = out;
    std::size_t i = 0;
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
        const auto follows = static_cast<std::uint32_t>(_mm256_movemask_epi8(
            _mm256_cmpeq_epi8(_mm256_and_si256(x, _mm256_set1_epi8(static_cast<char>(0xC0))),
                _mm256_set1_epi8(static_cast<char>(0x80)))));

        // Armenian: leads D4-D6 hold U+0500-U+05BF, t = the code less U+0500.
        const __m256i armenianLead = within(x, 0xD4, 0xD6);
        const __m256i leadRow = _mm256_sub_epi8(x, _mm256_set1_epi8(static_cast<char>(0xD4)));
        const __m256i t = _mm256_add_epi8(_mm256_and_si256(_mm256_slli_epi16(leadRow, 6),
                                              _mm256_set1_epi8(static_cast<char>(0xC0))),
            k);
        const __m256i twice = _mm256_add_epi8(t, t);
        // Capitals U+0531-U+0556 are B2, B4, ...; small letters U+0561-U+0586 B3, B5, ...
        const __m256i capital = within(t, 0x31, 0x56);
        const __m256i small = within(t, 0x61, 0x86);
        __m256i armenian = _mm256_or_si256(
            _mm256_and_si256(capital, _mm256_add_epi8(twice, _mm256_set1_epi8(0x50))),
            _mm256_and_si256(small, _mm256_sub_epi8(twice, _mm256_set1_epi8(0x0F))));
        const __m256i tLow = _mm256_and_si256(t, lowNibble);
        const __m256i letters = _mm256_or_si256(capital, small);
        armenian = _mm256_or_si256(armenian,
            _mm256_andnot_si256(letters,
                _mm256_or_si256(_mm256_and_si256(within(t, 0x50, 0x5F),
                                    _mm256_shuffle_epi8(punctuation[0], tLow)),
                    _mm256_and_si256(
                        within(t, 0x80, 0x8F), _mm256_shuffle_epi8(punctuation[1], tLow)))));

        // Latin-1 after lead C2: four rows of 16 by the top two of the six bits.
        const __m256i latinLead = _mm256_cmpeq_epi8(x, _mm256_set1_epi8(static_cast<char>(0xC2)));
        const __m256i kLow = _mm256_and_si256(k, lowNibble);
        const __m256i row = _mm256_srli_epi16(_mm256_and_si256(k, _mm256_set1_epi8(0x30)), 4);
        __m256i latinByte = _mm256_setzero_si256();
        for (int r = 0; r < 4; ++r)
            latinByte = _mm256_or_si256(latinByte,
                _mm256_and_si256(_mm256_cmpeq_epi8(row, _mm256_set1_epi8(static_cast<char>(r))),
                    _mm256_shuffle_epi8(latin[r], kLow)));

        const __m256i mapped = _mm256_or_si256(
            _mm256_and_si256(armenianLead, armenian), _mm256_and_si256(latinLead, latinByte));
        const auto leads = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_or_si256(armenianLead, latinLead)));
        const auto unmappedLanes = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(mapped, _mm256_setzero_si256())));
        const __m256i bytes
            = _mm256_blendv_epi8(x, mapped, _mm256_or_si256(armenianLead, latinLead));

        // A lead in the last place has its continuation in the next block.
        const std::uint32_t whole = leads >> 31 ? 0x7FFFFFFFu : 0xFFFFFFFFu;
        const std::uint32_t mismatched = follows ^ (leads << 1);
        const std::uint32_t refused
            = ((high & ~leads & ~follows) | (mismatched & follows) | ((mismatched & ~follows) >> 1)
                  | (leads & unmappedLanes) | foreign)
            & whole;
        const std::uint32_t taken = refused ? (refused & (0u - refused)) - 1 : whole;
        o = pack(bytes, ~follows & taken, o);
        i += static_cast<std::size_t>(__builtin_popcount(taken));
        if (refused)
            break;
    }
    out = o;
    return i;
}

} // namespace

const Kernel kAvx2Kernel{"avx2", supported, read, nullptr, nullptr};

#else

const Kernel kAvx2Kernel{"avx2", [] { return false; }, nullptr, nullptr, nullptr};

#endif

} // namespace vesnor::detail
