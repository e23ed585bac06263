#pragma once

#include "inside.h"

// Inside the engine: what each direction does, derived once from the table data,
// in the form every kernel builds its own lookups from.

#include "vesnor/transliterator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

namespace vesnor::detail {

// One step of a walk: what it appends and how many source bytes it consumes.
// The table walk reads a step as one machine word, its length in the top byte, so
// that one shift takes it out.
struct NoPadding { };
template<std::size_t Width> struct alignas(2 * Width) BasicStep {
    std::array<char, Width> bytes{};
    std::uint8_t advance = 1;
    [[no_unique_address]] std::conditional_t<Width == 2, NoPadding, std::array<std::uint8_t, 2>>
        unused{};
    std::uint8_t len = 0;
};
using Step = BasicStep<2>;
static_assert(sizeof(Step) == 4 && offsetof(Step, len) == 3);
// The same step with its bytes already in UTF-8: each 8-bit byte is at most two.
using Utf8Step = BasicStep<4>;
static_assert(sizeof(Utf8Step) == 8 && offsetof(Utf8Step, len) == 7);

Utf8Step toUtf8(const Step &step);

// A step as a table of S holds it.
template<typename S> S finished(const Step &step)
{
    if constexpr (std::is_same_v<S, Step>)
        return step;
    else
        return toUtf8(step);
}

// Each byte alone, by whether it stands at a word start, the same at the end of a
// text, and the pairs.
struct Rules {
    std::array<Step, 2 * 256> singles{}; // by (word start, byte)
    std::array<Step, 2 * 256> lastSteps{}; // the same where the byte ends the text
    struct Pair {
        bool wordStart = false;
        unsigned char first = 0;
        unsigned char second = 0;
        Step step;
    };
    // Each (word start, first, second) once, sorted by (word start, first byte):
    // those of index k = (word start, first byte) run from pairs[runs[k]] up to
    // pairs[runs[k + 1]], where the walk of short texts looks them up.
    std::vector<Pair> pairs;
    std::array<std::uint16_t, 2 * 256 + 1> runs{};

    void setPair(bool wordStart, unsigned char first, unsigned char second, Step step);

    // The step at `first`, followed by `next`.
    const Step &step(bool wordStart, unsigned char first, unsigned char next) const
    {
        const std::size_t index = (wordStart ? 256 : 0) + first;
        for (std::size_t k = runs[index]; k < runs[index + 1]; ++k)
            if (pairs[k].second == next)
                return pairs[k].step;
        return singles[index];
    }
};

const Rules &sharedRules(Direction direction);

// The rules as byte tables for a vector walk, which looks many positions up at once
// by byte permutes. A step is looked up by (word start, byte) as
// the byte plus 256 at a word start. Steps are numbered; step 0 writes the byte
// itself.
struct alignas(64) ByteTables {
    static constexpr std::size_t kSteps = 128;

    std::array<unsigned char, 512> single{}; // the step of a byte that is not a pair
    // A pair is found by row displacement: a first byte's row starts at rowOf[index]
    // (0 when it starts no pair), the next byte adds its column, and the place is the
    // pair only when owner[place] is that row's start.
    std::array<unsigned char, 512> rowOf{};
    bool rowsAtStartDiffer = true; // whether the rows at a word start are others
    std::array<unsigned char, 256> column{};
    std::array<unsigned char, 256> owner{};
    std::array<unsigned char, 256> pairStep{};
    // What each step writes: one or two bytes; 0 for the second of one.
    std::array<std::array<unsigned char, kSteps>, 2> bytes{};
    // Whether every place a row reaches lies below 128, in the tables' lower half.
    bool placesBelow128 = false;
};

// Nothing where the steps do not fit (more distinct steps than it numbers, a step
// with a second byte 0, or rows that do not fit side by side).
std::optional<ByteTables> buildByteTables(const Rules &rules);

// The lookups are constants, so each is built once per process, when first needed:
// a run of the converter builds only what its direction uses. Each caller passes a
// lambda of its own, and so gets constants of its own.
template<typename Build> const auto &perDirection(Direction direction, Build build)
{
    using Built = std::invoke_result_t<Build, Direction>;
    if (direction == Direction::EngArm) {
        static const Built engArm = build(Direction::EngArm);
        return engArm;
    }
    static const Built armEng = build(Direction::ArmEng);
    return armEng;
}

} // namespace vesnor::detail
