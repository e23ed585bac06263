#include "walk.h"

#include "kernels.h"
#include "rules.h"
#include "vesnor/codec.h"
#include "vesnor/utf8.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

namespace vesnor::detail {

namespace {

// A pair of bytes is indexed as one 16-bit load from the text reads it, so the walk
// needs no shifting.
constexpr std::size_t kPairs = 65536;

// Appends UTF-8 that a walk wrote, each kForeign byte replaced by the next of the
// originals while there are any; the spans between them are copied whole.
void appendRestoring(std::string &out, std::string_view text, Originals &originals)
{
    std::size_t at = 0;
    while (originals.next < originals.foreign.size()) {
        const void *hit = std::memchr(text.data() + at, codec::kForeign, text.size() - at);
        if (!hit)
            break;
        const auto position
            = static_cast<std::size_t>(static_cast<const char *>(hit) - text.data());
        out.append(text.data() + at, position - at);
        utf8::append(originals.foreign[originals.next++], out);
        at = position + 1;
    }
    out.append(text.data() + at, text.size() - at);
}

// Each direction is one table of finished steps, indexed by (word start, byte, next
// byte): every token is its first byte's step unless it is a pair. Only the few
// hundred distinct steps are finished, then copied where they go.
template<typename S> std::vector<S> buildSteps(const Rules &rules)
{
    std::vector<S> steps(2 * kPairs);
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 256; ++c) {
            const S one = finished<S>(rules.singles[wordStart * 256 + c]);
            for (std::size_t next = 0; next < 256; ++next)
                steps[wordStart * kPairs
                    + twoByteIndex(static_cast<unsigned char>(c), static_cast<unsigned char>(next))]
                    = one;
        }
    }
    for (const Rules::Pair &pair : rules.pairs)
        steps[(pair.wordStart ? kPairs : 0) + twoByteIndex(pair.first, pair.second)]
            = finished<S>(pair.step);
    return steps;
}

// The table walk's steps for output S, and the steps of a byte that ends the text.
template<typename S> struct Tables {
    std::vector<S> steps;
    std::array<S, 2 * 256> lastSteps{};
    // Where the steps after each byte are: past the first half after white space.
    std::array<const S *, 256> bases{};
};

// Whether a direction's tables for output S are built: once they are, short texts
// too take the table walk, which is several times faster than the rules' walk.
template<typename S> std::atomic<bool> &tablesBuilt(Direction direction)
{
    static std::array<std::atomic<bool>, 2> built{};
    return built[direction == Direction::EngArm ? 0 : 1];
}

template<typename S> const Tables<S> &sharedTables(Direction direction)
{
    return perDirection(direction, [](Direction each) {
        tablesBuilt<S>(each).store(true, std::memory_order_relaxed);
        const Rules &rules = sharedRules(each);
        Tables<S> tables;
        tables.steps = buildSteps<S>(rules);
        for (std::size_t k = 0; k < tables.lastSteps.size(); ++k)
            tables.lastSteps[k] = finished<S>(rules.lastSteps[k]);
        for (std::size_t c = 0; c < 256; ++c)
            tables.bases[c]
                = tables.steps.data() + (startsWord(static_cast<unsigned char>(c)) ? kPairs : 0);
        return tables;
    });
}

template<typename S>
std::size_t walkBlock(const Tables<S> &tables, const unsigned char *src, std::size_t n,
    unsigned char previous, bool final, char *&cursor)
{
    if (n == 0)
        return 0;
    // The step at a position depends only on the source around it (a word start is
    // judged on the source, never on the result), so every position is looked up and
    // a one-bit flag says whether the step before already consumed it. That flag is
    // the only thing carried from one position to the next: no branch to mispredict
    // and no lookup waiting on the previous one. A step is read and written as one
    // machine word; the bytes past its length are overwritten by the next one.
    using Word = std::conditional_t<sizeof(S) == 4, std::uint32_t, std::uint64_t>;
    static_assert(sizeof(Word) == sizeof(S));
    constexpr int kLenShift = 8 * static_cast<int>(offsetof(S, len));
    constexpr int kPairShift = 8 * static_cast<int>(offsetof(S, advance)) + 1;
    char *out = cursor;
    const std::array<const S *, 256> &bases = tables.bases;
    const S *steps = bases[previous];
    auto look = [&](std::size_t j) {
        std::uint16_t token;
        std::memcpy(&token, src + j, 2);
        Word word;
        std::memcpy(&word, steps + token, sizeof word);
        steps = bases[src[j]];
        return word;
    };
    auto length = [](Word word) { return static_cast<std::size_t>((word >> kLenShift) & 0xFF); };
    auto pair = [](Word word) { return static_cast<std::size_t>((word >> kPairShift) & 1); };
    auto single
        = [](Word word) { return static_cast<std::size_t>((word >> (kPairShift - 1)) & 1); };
    // Two positions at a time keep the flag's chain at one AND and one OR for
    // both: the second position is taken unless the first is a taken pair, and the
    // next first unless the second is.
    std::size_t taken = 1;
    std::size_t j = 0;
#pragma GCC unroll 4
    for (; j + 2 < n; j += 2) {
        const Word first = look(j);
        const Word second = look(j + 1);
        std::memcpy(out, &first, sizeof first);
        out += length(first) & (0 - taken);
        const std::size_t firstPairTaken = pair(first) & taken;
        std::memcpy(out, &second, sizeof second);
        out += length(second) & (firstPairTaken - 1);
        taken = single(second) | firstPairTaken;
    }
    if (j + 1 < n) {
        const Word word = look(j);
        std::memcpy(out, &word, sizeof word);
        out += length(word) & (0 - taken);
        taken = (pair(word) & taken) ^ 1;
    }
    cursor = out;
    // A pair took the last byte.
    if (!taken)
        return n;
    if (!final)
        return n - 1;
    // At the end of the text the token is the last byte alone.
    const S step = tables.lastSteps[(steps == tables.steps.data() ? 0 : 256) | src[n - 1]];
    std::memcpy(out, step.bytes.data(), sizeof(S::bytes));
    cursor = out + step.len;
    return n;
}

// A block through the kernel's vector walk where it takes the text, and through the
// table walk elsewhere, with walkBlock's contract; it writes 8-bit text.
std::size_t walkBlockVector(const Kernel &kernel, Direction direction, const unsigned char *src,
    std::size_t n, unsigned char previous, bool final, char *&cursor)
{
    if (n == 0)
        return 0;
    auto before = [&](std::size_t pos) { return pos ? src[pos - 1] : previous; };
    // `at` is where the text walked from stands in src, for the byte before it.
    auto vector = [&](const unsigned char *text, std::size_t size, std::size_t from,
                      std::size_t limit, std::size_t at) {
        return kernel.walk(direction, text, size, from, limit, startsWord(before(at)), cursor);
    };
    // What the vector walk leaves seldom comes alone, so the table walk takes a
    // stretch of it, twice as long each time the vector walk finds no chunk after it.
    constexpr std::size_t kFirstStretch = 256;
    std::size_t stretch = kFirstStretch;
    std::size_t pos = 0;
    while (pos + 64 < n) {
        const std::size_t from = pos;
        pos = vector(src, n, pos, n - 1, pos);
        if (pos + 64 >= n)
            break;
        stretch = pos > from + 1 ? kFirstStretch : std::min(2 * stretch, n);
        const std::size_t length = std::min(stretch, n - pos);
        const bool toTheEnd = length == n - pos;
        pos += walkBlock(sharedTables<Step>(direction), src + pos, length, before(pos),
            final && toTheEnd, cursor);
        if (toTheEnd)
            return pos;
    }

    // The last positions that have a next byte, from a copy with room after it.
    if (pos + 1 < n) {
        std::array<unsigned char, 128> tail;
        tail.fill(' ');
        std::memcpy(tail.data(), src + pos, n - pos);
        pos += vector(tail.data(), tail.size(), 0, n - pos - 1, pos);
        // What the vector walk left of them.
        if (pos + 1 < n)
            return pos
                + walkBlock(
                    sharedTables<Step>(direction), src + pos, n - pos, before(pos), final, cursor);
    }
    if (pos == n)
        return n;
    if (!final)
        return n - 1;
    // At the end of the text the token is the last byte alone.
    const Step &step
        = sharedRules(direction).lastSteps[(startsWord(before(pos)) ? 256 : 0) + src[pos]];
    std::memcpy(cursor, step.bytes.data(), step.len);
    cursor += step.len;
    return n;
}

// Short texts are walked from the rules themselves: building the tables would cost
// more than the walk.
template<typename S>
std::size_t walkShort(const Rules &rules, const unsigned char *src, std::size_t n,
    unsigned char previous, bool final, char *&cursor)
{
    std::size_t j = 0;
    while (j < n) {
        const std::size_t wordStart = startsWord(j ? src[j - 1] : previous) ? 1 : 0;
        if (j + 1 == n) {
            if (!final)
                break;
            const S step = finished<S>(rules.lastSteps[wordStart * 256 + src[j]]);
            std::memcpy(cursor, step.bytes.data(), step.len);
            cursor += step.len;
            return n;
        }
        const S done = finished<S>(rules.step(wordStart, src[j], src[j + 1]));
        std::memcpy(cursor, done.bytes.data(), done.len);
        cursor += done.len;
        j += done.advance;
    }
    return j;
}

// The walk writes into a block that stays in cache and is then appended, so the
// result is written to memory once, without first zero-filling room for it. No step
// yields more than `width` bytes per source byte, and a walk writes at most kSlack
// bytes past what it yields. With `expand`, the walk writes 8-bit text that it turns
// into UTF-8 on the way out.
template<typename WalkBlock>
std::size_t walkBlocks(std::size_t width, std::string_view src, unsigned char previous, bool final,
    std::string &out, WalkBlock walkBlock,
    char *(*expand)(const unsigned char *, std::size_t, char *, Originals *) = nullptr,
    Originals *originals = nullptr)
{
    const auto emit = [&](const char *data, std::size_t n) {
        if (originals && originals->next < originals->foreign.size())
            appendRestoring(out, std::string_view(data, n), *originals);
        else
            out.append(data, n);
    };
    constexpr std::size_t kBlock = 16 * 1024;
    constexpr std::size_t kSlack = 64;
    const std::size_t block = std::min(kBlock, src.size());
    // new char[n] leaves the bytes unset, as make_unique_for_overwrite would, which the
    // WebAssembly build's C++ library lacks.
    const std::unique_ptr<char[]> scratch(new char[width * block + kSlack]);
    const std::unique_ptr<char[]> utf8(expand ? new char[2 * width * block + kSlack] : nullptr);
    const auto *bytes = reinterpret_cast<const unsigned char *>(src.data());
    out.reserve(out.size() + src.size() + src.size() / 4);

    std::size_t consumed = 0;
    while (consumed < src.size()) {
        const std::size_t length = std::min(kBlock, src.size() - consumed);
        const bool tail = consumed + length == src.size();
        char *cursor = scratch.get();
        const std::size_t done
            = walkBlock(bytes + consumed, length, previous, tail && final, cursor);
        const auto written = static_cast<std::size_t>(cursor - scratch.get());
        if (expand) {
            const char *end = expand(reinterpret_cast<const unsigned char *>(scratch.get()),
                written, utf8.get(), originals);
            out.append(utf8.get(), static_cast<std::size_t>(end - utf8.get()));
        } else {
            emit(scratch.get(), written);
        }
        if (done == 0)
            break;
        consumed += done;
        previous = bytes[consumed - 1];
        if (tail)
            break;
    }
    return consumed;
}

// Kept out of walk(), whose other branches cost the loop about 4% when it is laid out
// among them.
template<typename S>
[[gnu::noinline]] std::size_t tableWalk(Direction direction, std::string_view src,
    unsigned char previous, bool final, std::string &out, Originals *originals)
{
    const Tables<S> &tables = sharedTables<S>(direction);
    static_assert(sizeof(S) <= 64);
    return walkBlocks(
        sizeof(S::bytes), src, previous, final, out,
        [&](const unsigned char *block, std::size_t n, unsigned char before, bool last,
            char *&cursor) { return walkBlock(tables, block, n, before, last, cursor); },
        nullptr, originals);
}

template<typename S>
std::size_t typedWalk(Direction direction, Encoding output, std::string_view src,
    unsigned char previous, bool final, std::string &out, Method method, Originals *originals)
{
    // The vector walk's tables are small and quick to build; the table walk's are
    // not, so a short text is walked from the rules where there is no vector walk.
    const Kernel &vector = kernel();
    const bool vectorWalk = vector.walk && method == Method::Fastest;
    if (method == Method::Short
        || (method == Method::Fastest && !vectorWalk && src.size() < kShortText
            && !tablesBuilt<S>(direction).load(std::memory_order_relaxed))) {
        const Rules &rules = sharedRules(direction);
        return walkBlocks(
            sizeof(S::bytes), src, previous, final, out,
            [&](const unsigned char *block, std::size_t n, unsigned char before, bool last,
                char *&cursor) { return walkShort<S>(rules, block, n, before, last, cursor); },
            nullptr, originals);
    }
    if (!vectorWalk)
        return tableWalk<S>(direction, src, previous, final, out, originals);
    // The vector walk writes 8-bit text; UTF-8 is made from it on the way out.
    return walkBlocks(
        sizeof(Step::bytes), src, previous, final, out,
        [&](const unsigned char *block, std::size_t n, unsigned char before, bool last,
            char *&cursor) {
            return walkBlockVector(vector, direction, block, n, before, last, cursor);
        },
        output == Encoding::Utf8 ? vector.expand : nullptr, originals);
}

} // namespace

std::size_t walk(Direction direction, Encoding output, std::string_view src, unsigned char previous,
    bool final, std::string &out, Method method, Originals *originals)
{
    if (output == Encoding::EightBit)
        return typedWalk<Step>(direction, output, src, previous, final, out, method, nullptr);
    return typedWalk<Utf8Step>(direction, output, src, previous, final, out, method, originals);
}

std::size_t lastStepStart(Direction direction, std::string_view text)
{
    const Rules &rules = sharedRules(direction);
    const auto *src = reinterpret_cast<const unsigned char *>(text.data());
    // Whether the step that begins at j takes the byte after it too.
    auto takesTwo = [&](std::size_t j) {
        return rules.step(startsWord(j ? src[j - 1] : kTextStart), src[j], src[j + 1]).advance == 2;
    };
    const std::size_t n = text.size();
    if (n < 2)
        return 0;
    // A step begins at j where the one before cannot reach past j - 1, whichever
    // byte it began at; from there the steps are walked to the end.
    std::size_t j = n - 1;
    while (j > 0 && takesTwo(j - 1))
        --j;
    std::size_t last = j;
    while (j < n) {
        last = j;
        j += j + 1 < n && takesTwo(j) ? 2 : 1;
    }
    return last;
}

} // namespace vesnor::detail
