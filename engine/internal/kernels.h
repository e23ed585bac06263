#pragma once

// Inside the engine: the code that depends on the processor's instructions. Each
// kernel lives in a file of its own, compiled for its instructions only, with the
// lookups it builds for itself; the rest of the engine runs on any processor and
// calls the kernel chosen once, at the first conversion: the best this processor
// runs, or the one VESNOR_KERNEL names (portable, avx2, avx512) where it runs here.

#include "inside.h"
#include "vesnor/transliterator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

// A vector kernel names its instructions once, as NAME_FEATURES(FEATURE, AND), and
// that one list gives both the compiler's target and the check of the processor,
// so that the two cannot drift apart: VESNOR_TARGET_OF(NAME_FEATURES) and
// VESNOR_SUPPORTS(NAME_FEATURES).
#define VESNOR_FEATURE(feature) feature
#define VESNOR_FEATURE_COMMA ","
#define VESNOR_HAS_FEATURE(feature) __builtin_cpu_supports(feature)
#define VESNOR_TARGET_OF(FEATURES)                                                                 \
    __attribute__((target(FEATURES(VESNOR_FEATURE, VESNOR_FEATURE_COMMA))))
#define VESNOR_SUPPORTS(FEATURES) FEATURES(VESNOR_HAS_FEATURE, &&)

namespace vesnor::detail {

// Texts shorter than this are not worth building a kernel's or the table walk's
// tables for (a megabyte, about a millisecond): most letters are shorter.
inline constexpr std::size_t kShortText = 16 * 1024;

// Two bytes as one 16-bit load from the text reads them: the index of the tables
// that the reader and the walk look pairs of bytes up in.
inline std::size_t twoByteIndex(unsigned char first, unsigned char second)
{
    const std::array<unsigned char, 2> bytes{first, second};
    std::uint16_t index;
    std::memcpy(&index, bytes.data(), 2);
    return index;
}

// The characters set aside while reading UTF-8, and how many of them are back in place.
struct Originals {
    std::u32string_view foreign;
    std::size_t next = 0;
};

// What the vector readers refuse, a bit per byte: a byte from 0x80 up (`high`) that is
// neither a lead they map nor a continuation, a continuation without a lead before it
// (`afterLead`), a lead without its continuation.
template<typename Mask>
constexpr Mask refusedLanes(Mask high, Mask leads, Mask follows, Mask afterLead)
{
    const Mask mismatched = follows ^ afterLead;
    return (high & ~leads & ~follows) | (mismatched & follows) | ((mismatched & ~follows) >> 1);
}

// The positions before the first refused one, or all of them.
template<typename Mask> constexpr Mask takenBefore(Mask refused, Mask all)
{
    return refused ? (refused & (Mask{0} - refused)) - 1 : all;
}

struct Kernel {
    std::string_view name;
    bool (*supported)();

    // Reads UTF-8 into 8-bit text for as long as the text is plain: ASCII without
    // U+001A, and two-byte characters that have a byte. Takes only whole characters,
    // reading nothing past s[n - 1]; returns how many bytes it took, having written
    // their bytes at out and moved out along. May write as much as 64 bytes past
    // what it yields.
    std::size_t (*read)(const unsigned char *s, std::size_t n, char *&out);

    // The vector walk, or null where the kernel has none: walks src from pos in
    // chunks of 64 positions, writing 8-bit text, never walking a position from
    // `limit` on (the byte at limit is only read as the next byte of the one before).
    // Each chunk begun reads src[pos] to src[pos + 64], so the caller keeps
    // pos + 64 < size. `wordStart` tells whether white space stood before src[pos].
    // Writes at out, as much as 64 bytes past its end, and moves out along. Returns where the next
    // step begins: at limit or just after it, or at or just after the start of the
    // chunk it could not take, which is pos where it has no tables for the
    // direction.
    std::size_t (*walk)(Direction direction, const unsigned char *src, std::size_t size,
        std::size_t pos, std::size_t limit, bool wordStart, char *&out);

    // Writes the UTF-8 of the n bytes of 8-bit text at src at out, and as much as 64
    // bytes past it; returns its end. Where originals are given, each kForeign byte
    // takes the next of them while there are any. Present where walk is.
    char *(*expand)(const unsigned char *src, std::size_t n, char *out, Originals *originals);
};

// The vector kernels are written for x86-64 with GCC's or Clang's intrinsics: in any
// other build VESNOR_VECTOR_KERNEL(name, ...) is a kernel that is never supported.
#if (defined(__x86_64__) || defined(_M_X64)) && defined(__GNUC__)
#define VESNOR_X86 1
#define VESNOR_VECTOR_KERNEL(name, ...) (Kernel{name, __VA_ARGS__})
#else
#define VESNOR_VECTOR_KERNEL(name, ...)                                                            \
    (Kernel{name, [] { return false; }, nullptr, nullptr, nullptr})
#endif

extern const Kernel kPortableKernel;
extern const Kernel kAvx2Kernel;
extern const Kernel kAvx512Kernel;

// The kernel in use.
const Kernel &kernel();

// The kernels this processor runs, the portable one first.
std::vector<const Kernel *> kernelsHere();

// Makes the named kernel the one in use, where this processor runs it; for tests.
bool useKernel(std::string_view name);

} // namespace vesnor::detail
