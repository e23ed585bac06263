#include "walk.h"

#include "codec.h"
#include "tables.h"
#include "utf8.h"
#include "vectorwalk.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace vesnor::detail {

namespace {

// One step of a walk: what it appends and how many source bytes it consumes.
// The walk reads a step as one machine word, its length in the top byte, so that one
// shift takes it out.
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

// Up to `count` characters of a table side from `index`, fewer where it ends.
Step readSide(std::string_view side, std::size_t index, std::size_t count)
{
    Step step;
    for (std::size_t k = 0; k < count && index + k < side.size(); ++k)
        step.bytes[step.len++] = side[index + k];
    return step;
}

Step literal(std::string_view text)
{
    Step step;
    for (const char c : text)
        step.bytes[step.len++] = c;
    return step;
}

Step consuming(Step step, std::uint8_t advance)
{
    step.advance = advance;
    return step;
}

// The four pairs that stand for one letter at a word start.
std::optional<Step> wordStartPair(unsigned char first, unsigned char second)
{
    if (first == 'V' && (second == 'O' || second == 'o'))
        return literal("\xE0"); // Ո
    if (first == 'v' && second == 'o')
        return literal("\xE1"); // ո
    if (first == 'Y' && (second == 'E' || second == 'e'))
        return literal("\xBA"); // Ե
    if (first == 'y' && second == 'e')
        return literal("\xBB"); // ե
    return std::nullopt;
}

// Letters with a fixed form at a word start, in either direction.
std::optional<Step> wordStartLetter(Direction direction, unsigned char c)
{
    if (direction == Direction::EngArm) {
        if (c == 'o')
            return literal("\xFB"); // օ
        if (c == 'O')
            return literal("\xFA"); // Օ
        return std::nullopt;
    }
    switch (c) {
    case 0xE0:
        return literal("Vo");
    case 0xE1:
        return literal("vo");
    case 0xBA:
        return literal("Ye");
    case 0xBB:
        return literal("ye");
    default:
        return std::nullopt;
    }
}

// A pair of bytes is indexed as one 16-bit load from the text reads it, so the walk
// needs no shifting.
constexpr std::size_t kPairs = 65536;
using codec::twoByteIndex;

// What one direction does, before any table is spread out: each byte alone, by
// whether it stands at a word start, the same at the end of a text, and the pairs.
struct Rules {
    std::array<Step, 2 * 256> singles{}; // by (word start, byte)
    std::array<Step, 2 * 256> lastSteps{}; // the same where the byte ends the text
    struct Pair {
        bool wordStart = false;
        unsigned char first = 0;
        unsigned char second = 0;
        Step step;
    };
    std::vector<Pair> pairs; // each (word start, first, second) once

    void setPair(bool wordStart, unsigned char first, unsigned char second, Step step)
    {
        for (Pair &pair : pairs) {
            if (pair.wordStart == wordStart && pair.first == first && pair.second == second) {
                pair.step = step;
                return;
            }
        }
        pairs.push_back({wordStart, first, second, step});
    }
};

// The rules of one direction, from the three table strings.
Rules buildRules(Direction direction)
{
    const std::string_view armenian = tables::kArmenianSide;
    const std::string_view latin = tables::kLatinSide;
    const std::string_view kinds = tables::kKinds;
    const std::size_t cells = tables::kCells;
    const bool engArm = direction == Direction::EngArm;
    // The side a token is looked up in, and the side its step is read from.
    const std::string_view from = engArm ? latin : armenian;
    const std::string_view to = engArm ? armenian : latin;

    // First occurrences: walking the cells backwards lets the earliest one win. A
    // two-byte token that straddles two cells is found just like one inside a group.
    constexpr std::size_t kNone = SIZE_MAX;
    std::array<std::size_t, 256> first;
    first.fill(kNone);
    for (std::size_t p = cells; p-- > 0;)
        first[static_cast<unsigned char>(from[p])] = p;

    // The two-letter rule, for a token found at cell p.
    auto pair = [&](std::size_t p) -> std::optional<Step> {
        if (p == kNone)
            return std::nullopt;
        if (engArm)
            return kinds[p] == '2' ? std::optional(readSide(to, p, 1)) : std::nullopt;
        if (kinds[p] != '2' && kinds[p] != '0')
            return std::nullopt;
        return readSide(to, p, kinds[p] == '2' ? 2 : 1);
    };
    // The one-letter rule away from the word-start letters. Latin to Armenian, a
    // continuation cell ("U") brings the letter after it; the other way, a lone
    // continuation cell (only the second letter of "U") gives the Latin letter of its
    // own cell, the same as when it ends the text.
    auto single = [&](unsigned char c) {
        const std::size_t p = first[c];
        if (p == kNone)
            return literal(std::string_view(reinterpret_cast<const char *>(&c), 1));
        return readSide(to, p, kinds[p] == (engArm ? '0' : '2') ? 2 : 1);
    };

    Rules rules;
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            const auto letter = wordStart ? wordStartLetter(direction, byte) : std::nullopt;
            const Step one = letter ? *letter : single(byte);
            rules.singles[wordStart * 256 + c] = one;
            // At the end the token is the one byte, and it meets the pair rules
            // alone; a match there has nothing more to consume.
            const auto alone = pair(first[c]);
            rules.lastSteps[wordStart * 256 + c] = alone ? *alone : one;
        }
    }

    // Pairs are found only where two cells stand side by side; the first place a
    // token occurs decides, so later places of the same token are passed over. The
    // pair rules come before the word-start letters, so they hold at word starts too.
    std::vector<bool> seen(kPairs);
    for (std::size_t p = 0; p + 1 < cells; ++p) {
        const auto a = static_cast<unsigned char>(from[p]);
        const auto b = static_cast<unsigned char>(from[p + 1]);
        const std::size_t token = twoByteIndex(a, b);
        if (seen[token])
            continue;
        seen[token] = true;
        if (const auto step = pair(p)) {
            rules.setPair(false, a, b, consuming(*step, 2));
            rules.setPair(true, a, b, consuming(*step, 2));
        }
    }

    // The word-start pairs come before every table rule.
    if (engArm) {
        for (const char *letters : {"VO", "Vo", "vo", "YE", "Ye", "ye"}) {
            const auto a = static_cast<unsigned char>(letters[0]);
            const auto b = static_cast<unsigned char>(letters[1]);
            rules.setPair(true, a, b, consuming(*wordStartPair(a, b), 2));
        }
    }
    return rules;
}

// The tables are constants, so each is built once per process, when first needed: a
// run of the converter builds only what its direction uses. Each caller passes a
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

const Rules &sharedRules(Direction direction)
{
    return perDirection(direction, [](Direction each) { return buildRules(each); });
}

Utf8Step toUtf8(const Step &step)
{
    Utf8Step result;
    result.advance = step.advance;
    for (std::size_t k = 0; k < step.len; ++k) {
        const codec::Utf8Bytes utf8 = codec::utf8Of(static_cast<unsigned char>(step.bytes[k]));
        for (std::size_t b = 0; b < utf8.len; ++b)
            result.bytes[result.len++] = utf8.bytes[b];
    }
    return result;
}

// A step as a table of S holds it.
template<typename S> S finished(const Step &step)
{
    if constexpr (std::is_same_v<S, Step>)
        return step;
    else
        return toUtf8(step);
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

template<typename S> const Tables<S> &sharedTables(Direction direction)
{
    return perDirection(direction, [](Direction each) {
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

// The vector walk's tables of one direction, or nothing where its steps do not fit
// them (more distinct steps than it numbers, or rows that do not fit side by side).
std::optional<VectorTables> buildVectorTables(const Rules &rules)
{
    VectorTables tables;
    for (std::size_t c = 0; c < 128; ++c)
        tables.white[c] = startsWord(static_cast<unsigned char>(c)) ? 1 : 0;

    // Steps are numbered from 1; 0 is the byte itself.
    std::vector<Utf8Step> steps;
    auto number = [&](const Step &step) -> std::optional<unsigned char> {
        const Utf8Step utf8 = toUtf8(step);
        for (std::size_t k = 0; k < steps.size(); ++k)
            if (steps[k].len == utf8.len && steps[k].bytes == utf8.bytes)
                return static_cast<unsigned char>(k + 1);
        if (steps.size() + 1 >= VectorTables::kSteps)
            return std::nullopt;
        steps.push_back(utf8);
        return static_cast<unsigned char>(steps.size());
    };
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 128; ++c) {
            const Step &step = rules.singles[wordStart * 256 + c];
            if (step.len == 1 && static_cast<unsigned char>(step.bytes[0]) == c)
                continue;
            const auto id = number(step);
            if (!id)
                return std::nullopt;
            tables.single[wordStart * 128 + c] = *id;
        }
    }

    // Each first byte's pairs as a row of (column, step); equal rows are stored once.
    constexpr std::size_t kNoColumn = 256;
    std::array<std::size_t, 128> columnOf;
    columnOf.fill(kNoColumn);
    std::size_t columns = 0;
    for (const Rules::Pair &pair : rules.pairs)
        if (pair.first < 0x80 && pair.second < 0x80 && columnOf[pair.second] == kNoColumn)
            columnOf[pair.second] = columns++;
    using Row = std::vector<std::pair<std::size_t, unsigned char>>;
    std::array<Row, 256> rows;
    for (const Rules::Pair &pair : rules.pairs) {
        if (pair.first >= 0x80 || pair.second >= 0x80)
            continue;
        const auto id = number(pair.step);
        if (!id)
            return std::nullopt;
        rows[(pair.wordStart ? 128 : 0) + pair.first].emplace_back(columnOf[pair.second], *id);
    }
    // A byte that is no second of any pair reads the column past the last, which no
    // row uses: the place it finds belongs to another row or to none.
    for (std::size_t c = 0; c < 128; ++c)
        tables.column[c]
            = static_cast<unsigned char>(columnOf[c] == kNoColumn ? columns : columnOf[c]);
    constexpr unsigned char kNobody = 0xFF;
    tables.owner.fill(kNobody);
    std::vector<std::pair<Row, unsigned char>> placed;
    for (std::size_t index = 0; index < 256; ++index) {
        Row &row = rows[index];
        if (row.empty())
            continue;
        std::sort(row.begin(), row.end());
        const auto same = std::find_if(
            placed.begin(), placed.end(), [&](const auto &other) { return other.first == row; });
        if (same != placed.end()) {
            tables.rowOf[index] = same->second;
            continue;
        }
        // A row starts at 1 or later, so that a byte with no pairs (0) finds no owner,
        // and ends with room for the unused column.
        std::size_t start = 1;
        auto fits = [&](std::size_t at) {
            return std::none_of(placed.begin(), placed.end(), [&](const auto &other) {
                return other.second == at;
            }) && std::all_of(row.begin(), row.end(), [&](const auto &entry) {
                return tables.owner[at + entry.first] == kNobody;
            });
        };
        while (start + columns < kNobody && !fits(start))
            ++start;
        if (start + columns >= kNobody)
            return std::nullopt;
        for (const auto &[place, id] : row) {
            tables.owner[start + place] = static_cast<unsigned char>(start);
            tables.pairStep[start + place] = id;
        }
        tables.rowOf[index] = static_cast<unsigned char>(start);
        placed.emplace_back(row, static_cast<unsigned char>(start));
    }

    tables.length[0] = 1;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        tables.length[k + 1] = steps[k].len;
        for (std::size_t b = 0; b < steps[k].len; ++b)
            tables.bytes[b][k + 1] = static_cast<unsigned char>(steps[k].bytes[b]);
    }
    return tables;
}

// Null where the processor has no vector walk.
const VectorTables *sharedVectorTables(Direction direction)
{
    const auto &tables = perDirection(direction, [](Direction each) {
        return vectorWalkSupported() ? buildVectorTables(sharedRules(each)) : std::nullopt;
    });
    return tables ? &*tables : nullptr;
}

template<typename S>
std::size_t walkBlock(const Tables<S> &tables, const unsigned char *src, std::size_t n,
    unsigned char previous, bool final, char *&cursor, std::size_t &lastStart)
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
    // A pair that took the last byte started just before it.
    if (!taken) {
        lastStart = n - 2;
        return n;
    }
    if (!final)
        return n - 1;
    // At the end of the text the token is the last byte alone.
    const S step = tables.lastSteps[(steps == tables.steps.data() ? 0 : 256) | src[n - 1]];
    std::memcpy(out, step.bytes.data(), sizeof(S::bytes));
    cursor = out + step.len;
    lastStart = n - 1;
    return n;
}

// A block through the vector walk where its bytes are below 0x80, and through the
// table walk elsewhere, with walkBlock's contract.
std::size_t walkBlockVector(const VectorTables &vector, Direction direction,
    const unsigned char *src, std::size_t n, unsigned char previous, bool final, char *&cursor,
    std::size_t &lastStart)
{
    if (n == 0)
        return 0;
    auto before = [&](std::size_t pos) { return pos ? src[pos - 1] : previous; };
    // Text from 0x80 up seldom comes alone, so the table walk takes a stretch of it,
    // twice as long each time the vector walk finds no plain chunk after it.
    constexpr std::size_t kFirstStretch = 256;
    std::size_t stretch = kFirstStretch;
    std::size_t pos = 0;
    while (pos + 64 < n) {
        const std::size_t from = pos;
        pos = walkAscii(vector, src, n, pos, n - 1, startsWord(before(pos)), cursor, lastStart);
        if (pos + 64 >= n)
            break;
        stretch = pos > from + 1 ? kFirstStretch : std::min(2 * stretch, n);
        const std::size_t length = std::min(stretch, n - pos);
        const bool toTheEnd = length == n - pos;
        std::size_t start = 0;
        const std::size_t done = walkBlock(sharedTables<Utf8Step>(direction), src + pos, length,
            before(pos), final && toTheEnd, cursor, start);
        lastStart = pos + start;
        pos += done;
        if (toTheEnd)
            return pos;
    }

    // The last positions that have a next byte, from a copy with room after it.
    if (pos + 1 < n) {
        std::array<unsigned char, 128> tail;
        tail.fill(' ');
        std::memcpy(tail.data(), src + pos, n - pos);
        std::size_t start = 0;
        const std::size_t done = walkAscii(vector, tail.data(), tail.size(), 0, n - pos - 1,
            startsWord(before(pos)), cursor, start);
        if (done == 0) {
            const std::size_t rest = walkBlock(sharedTables<Utf8Step>(direction), src + pos,
                n - pos, before(pos), final, cursor, start);
            lastStart = pos + start;
            return pos + rest;
        }
        lastStart = pos + start;
        pos += done;
    }
    if (pos == n)
        return n;
    if (!final)
        return n - 1;
    // At the end of the text the token is the last byte alone.
    const Utf8Step step
        = toUtf8(sharedRules(direction).lastSteps[(startsWord(before(pos)) ? 256 : 0) + src[pos]]);
    std::memcpy(cursor, step.bytes.data(), step.len);
    cursor += step.len;
    lastStart = pos;
    return n;
}

// The walk writes into a block that stays in cache and is then appended, so the
// result is written to memory once, without first zero-filling room for it. No step
// yields more than `width` bytes per source byte, and a walk writes at most kSlack
// bytes past what it yields.
template<typename WalkBlock>
Span walkBlocks(std::size_t width, std::string_view src, unsigned char previous, bool final,
    std::string &out, WalkBlock walkBlock)
{
    constexpr std::size_t kBlock = 16 * 1024;
    constexpr std::size_t kSlack = 64;
    const std::size_t block = std::min(kBlock, src.size());
    const auto scratch = std::make_unique_for_overwrite<char[]>(width * block + kSlack);
    const auto *bytes = reinterpret_cast<const unsigned char *>(src.data());
    out.reserve(out.size() + src.size() + src.size() / 4);

    Span result;
    while (result.consumed < src.size()) {
        const std::size_t length = std::min(kBlock, src.size() - result.consumed);
        const bool tail = result.consumed + length == src.size();
        char *cursor = scratch.get();
        std::size_t lastStart = 0;
        const std::size_t done = walkBlock(
            bytes + result.consumed, length, previous, tail && final, cursor, lastStart);
        out.append(scratch.get(), static_cast<std::size_t>(cursor - scratch.get()));
        if (done == 0)
            break;
        result.lastTokenStart = result.consumed + lastStart;
        result.consumed += done;
        previous = bytes[result.consumed - 1];
        if (tail)
            break;
    }
    return result;
}

// Kept out of walk(), whose other branches cost the loop about 4% when it is laid out
// among them.
template<typename S>
[[gnu::noinline]] Span tableWalk(
    Direction direction, std::string_view src, unsigned char previous, bool final, std::string &out)
{
    const Tables<S> &tables = sharedTables<S>(direction);
    static_assert(sizeof(S) <= 64);
    return walkBlocks(sizeof(S::bytes), src, previous, final, out,
        [&](const unsigned char *block, std::size_t n, unsigned char before, bool last,
            char *&cursor, std::size_t &lastStart) {
            return walkBlock(tables, block, n, before, last, cursor, lastStart);
        });
}

} // namespace

Span walk(Direction direction, Output output, std::string_view src, unsigned char previous,
    bool final, std::string &out, Method method)
{
    if (output == Output::EightBit)
        return tableWalk<Step>(direction, src, previous, final, out);
    const VectorTables *vector
        = method == Method::Fastest ? sharedVectorTables(direction) : nullptr;
    if (!vector)
        return tableWalk<Utf8Step>(direction, src, previous, final, out);
    return walkBlocks(sizeof(Utf8Step::bytes), src, previous, final, out,
        [&](const unsigned char *block, std::size_t n, unsigned char before, bool last,
            char *&cursor, std::size_t &lastStart) {
            return walkBlockVector(*vector, direction, block, n, before, last, cursor, lastStart);
        });
}

std::size_t walkPlainStart(Direction direction, std::string &held, std::string_view src,
    unsigned char &previous, std::string &out)
{
    const VectorTables *vector = sharedVectorTables(direction);
    auto plain = [](char c) {
        return static_cast<unsigned char>(c) < 0x80
            && static_cast<unsigned char>(c) != codec::kForeign;
    };
    // Less than a chunk is not worth the detour.
    if (!vector || src.size() <= 2 * 64 || held.size() > 1
        || (!held.empty() && (!plain(held[0]) || !plain(src[0]))))
        return 0;

    std::size_t pos = 0;
    if (!held.empty()) {
        // The byte held back goes first, paired or not with the first one here.
        const std::array<char, 2> two{held[0], src[0]};
        const std::size_t consumed = walk(
            direction, Output::Utf8, std::string_view(two.data(), two.size()), previous, false, out)
                                         .consumed;
        previous = static_cast<unsigned char>(two[consumed - 1]);
        pos = consumed - 1;
        held.clear();
    }

    // Not the end of the text: the vector walk stops where it cannot go on, and a
    // block's chunks read on into the next block.
    const std::string_view rest = src.substr(pos);
    const auto *end = reinterpret_cast<const unsigned char *>(rest.data() + rest.size());
    const std::size_t taken = walkBlocks(sizeof(Utf8Step::bytes), rest, previous, false, out,
        [&](const unsigned char *block, std::size_t n, unsigned char before, bool, char *&cursor,
            std::size_t &lastStart) {
            const auto readable = static_cast<std::size_t>(end - block);
            return walkAscii(*vector, block, readable, 0, std::min(n, readable - 1),
                startsWord(before), cursor, lastStart);
        }).consumed;
    if (taken > 0)
        previous = static_cast<unsigned char>(rest[taken - 1]);
    return pos + taken;
}

} // namespace vesnor::detail
