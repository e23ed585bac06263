#pragma once

// Inside the engine: the code that depends on the processor's instructions. Each
// kernel lives in a file of its own, compiled for its instructions only, with the
// lookups it builds for itself; the rest of the engine runs on any processor and
// calls the kernel chosen once, at the first conversion: the best this processor
// runs, or the one VESNOR_KERNEL names (portable, avx2, avx512) where it runs here.

#include "engine/transliterator.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vesnor::detail {

// What a walk writes: the 8-bit text, or that text already as UTF-8 (where the
// originals of kForeign bytes still have to be put back, see codec.h).
enum class Output { EightBit, Utf8 };

struct Kernel {
    std::string_view name;
    bool (*supported)();

    // Reads UTF-8 into 8-bit text for as long as the text is plain: ASCII without
    // U+001A, and two-byte characters that have a byte. Takes only whole characters
    // and never the last byte of s, which it may read as the next byte of the one
    // before; returns how many bytes it took, having written their bytes at out and
    // moved out along. May write as much as 64 bytes past what it yields.
    std::size_t (*read)(const unsigned char *s, std::size_t n, char *&out);

    // The vector walk, or null where the kernel has none: walks src from pos with the
    // contract of walkAscii in vectorwalk.h, for the tables of (direction, output);
    // returns pos where it has no tables for them.
    std::size_t (*walk)(Direction direction, Output output, const unsigned char *src,
        std::size_t size, std::size_t pos, std::size_t limit, bool wordStart, bool foreignPlain,
        char *&out, std::size_t &lastStart);
};

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
