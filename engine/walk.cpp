#include "walk.h"

#include "codec.h"
#include "tables.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace vesnor::detail {

namespace {

// One step of a walk: what it appends and how many source bytes it consumes.
template<std::size_t Width> struct BasicStep {
    std::array<char, Width> bytes{};
    std::uint8_t len = 0;
    std::uint8_t advance = 1;
};
using Step = BasicStep<2>;
// The same step with its bytes already in UTF-8: each 8-bit byte is at most two.
using Utf8Step = BasicStep<4>;

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

constexpr std::size_t kPairs = 65536;

// A pair is indexed by its two bytes as one 16-bit load from the text reads them,
// so the walk needs no shifting.
std::size_t pairIndex(unsigned char first, unsigned char second)
{
    const std::array<unsigned char, 2> bytes{first, second};
    std::uint16_t token;
    std::memcpy(&token, bytes.data(), 2);
    return token;
}

} // namespace

bool startsWord(unsigned char previous)
{
    switch (previous) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case 0xA0:
        return true;
    default:
        return false;
    }
}

namespace {

// Each direction is one table of finished steps, indexed by (word start, byte, next
// byte), and one for the last byte of a text, indexed by (word start, byte).
template<typename S> struct Tables {
    std::vector<S> steps = std::vector<S>(2 * kPairs);
    std::array<S, 2 * 256> lastSteps{};
};

struct Lookup {
    Tables<Step> engArm;
    Tables<Step> armEng;
    Tables<Utf8Step> engArmUtf8;
    Tables<Utf8Step> armEngUtf8;
    std::array<std::uint8_t, 256> wordStartAfter{};

    Lookup();
};

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

Lookup::Lookup()
{
    const std::string_view armenian = tables::kArmenianSide;
    const std::string_view latin = tables::kLatinSide;
    const std::string_view kinds = tables::kKinds;
    const std::size_t cells = tables::kCells;

    for (std::size_t c = 0; c < 256; ++c)
        wordStartAfter[c] = startsWord(static_cast<unsigned char>(c));

    // First occurrences: walking the cells backwards lets the earliest one win. A
    // two-byte token that straddles two cells is found just like one inside a group.
    constexpr std::size_t kNone = SIZE_MAX;
    std::array<std::size_t, 256> latinFirst;
    std::array<std::size_t, 256> armenianFirst;
    latinFirst.fill(kNone);
    armenianFirst.fill(kNone);
    for (std::size_t p = cells; p-- > 0;) {
        latinFirst[static_cast<unsigned char>(latin[p])] = p;
        armenianFirst[static_cast<unsigned char>(armenian[p])] = p;
    }

    // The two-letter rule of each direction, for a token found at cell p.
    auto engArmPair = [&](std::size_t p) -> std::optional<Step> {
        if (p == kNone || kinds[p] != '2')
            return std::nullopt;
        return readSide(armenian, p, 1);
    };
    auto armEngPair = [&](std::size_t p) -> std::optional<Step> {
        if (p == kNone || (kinds[p] != '2' && kinds[p] != '0'))
            return std::nullopt;
        return readSide(latin, p, kinds[p] == '2' ? 2 : 1);
    };
    // The one-letter rule away from the word-start letters.
    auto engArmSingle = [&](unsigned char c) {
        const std::size_t p = latinFirst[c];
        return p == kNone ? literal(std::string_view(reinterpret_cast<const char *>(&c), 1))
                          : readSide(armenian, p, kinds[p] == '0' ? 2 : 1);
    };
    // A lone continuation cell (only the second letter of "U") gives the Latin
    // letter of its own cell, the same as when it ends the text.
    auto armEngSingle = [&](unsigned char c) {
        const std::size_t p = armenianFirst[c];
        return p == kNone ? literal(std::string_view(reinterpret_cast<const char *>(&c), 1))
                          : readSide(latin, p, kinds[p] == '2' ? 2 : 1);
    };

    // Each step goes into the 8-bit table and its UTF-8 twin.
    auto put = [](auto &eightBit, auto &utf8, bool last, std::size_t at, const Step &step) {
        (last ? eightBit.lastSteps[at] : eightBit.steps[at]) = step;
        (last ? utf8.lastSteps[at] : utf8.steps[at]) = toUtf8(step);
    };
    auto putEng = [&](bool last, std::size_t at, const Step &step) {
        put(engArm, engArmUtf8, last, at, step);
    };
    auto putArm = [&](bool last, std::size_t at, const Step &step) {
        put(armEng, armEngUtf8, last, at, step);
    };

    // Most tokens are no pair of any rule: their step is their first byte's.
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            const auto engLetter
                = wordStart ? wordStartLetter(Direction::EngArm, byte) : std::nullopt;
            const auto armLetter
                = wordStart ? wordStartLetter(Direction::ArmEng, byte) : std::nullopt;
            const Step engOne = engLetter ? *engLetter : engArmSingle(byte);
            const Step armOne = armLetter ? *armLetter : armEngSingle(byte);
            const Utf8Step engOneUtf8 = toUtf8(engOne);
            const Utf8Step armOneUtf8 = toUtf8(armOne);
            for (std::size_t next = 0; next < 256; ++next) {
                const std::size_t at
                    = wordStart * kPairs + pairIndex(byte, static_cast<unsigned char>(next));
                engArm.steps[at] = engOne;
                armEng.steps[at] = armOne;
                engArmUtf8.steps[at] = engOneUtf8;
                armEngUtf8.steps[at] = armOneUtf8;
            }

            // At the end the token is the one byte, and it meets the pair rules
            // alone; a match there has nothing more to consume.
            const std::size_t at = wordStart * 256 + c;
            const auto engAlone = engArmPair(latinFirst[c]);
            putEng(true, at, engAlone ? *engAlone : engOne);
            const auto armAlone = armEngPair(armenianFirst[c]);
            putArm(true, at, armAlone ? *armAlone : armOne);
        }
    }

    // Pairs are found only where two cells stand side by side; the first place a
    // token occurs decides, so later places of the same token are passed over. The
    // pair rules come before the word-start letters, so they hold at word starts too.
    auto addPairs = [&](std::string_view side, auto rule, auto put) {
        std::vector<bool> seen(kPairs);
        for (std::size_t p = 0; p + 1 < cells; ++p) {
            const std::size_t token = pairIndex(
                static_cast<unsigned char>(side[p]), static_cast<unsigned char>(side[p + 1]));
            if (seen[token])
                continue;
            seen[token] = true;
            if (const auto step = rule(p)) {
                put(false, token, consuming(*step, 2));
                put(false, kPairs + token, consuming(*step, 2));
            }
        }
    };
    addPairs(latin, engArmPair, putEng);
    addPairs(armenian, armEngPair, putArm);

    // The word-start pairs come before every table rule.
    for (const char *pair : {"VO", "Vo", "vo", "YE", "Ye", "ye"}) {
        const auto first = static_cast<unsigned char>(pair[0]);
        const auto second = static_cast<unsigned char>(pair[1]);
        putEng(
            false, kPairs + pairIndex(first, second), consuming(*wordStartPair(first, second), 2));
    }
}

// The tables are constants, so one lookup serves every conversion of the process.
const Lookup &sharedLookup()
{
    static const Lookup lookup;
    return lookup;
}

template<typename S>
std::size_t walkBlock(const Tables<S> &tables, const std::array<std::uint8_t, 256> &wordStartAfter,
    const unsigned char *src, std::size_t n, unsigned char previous, bool final, char *&cursor,
    std::size_t &lastStart)
{
    if (n == 0)
        return 0;
    // The step at a position depends only on the source around it (a word start is
    // judged on the source, never on the result), so every position is looked up and
    // a one-bit flag says whether the step before already consumed it. That flag is
    // the only thing carried from one position to the next: no branch to mispredict
    // and no lookup waiting on the previous one.
    char *out = cursor;
    const S *steps = tables.steps.data();
    constexpr std::size_t kWidth = sizeof(S::bytes);
    std::size_t wordStart = wordStartAfter[previous];
    std::size_t skip = 0;
    for (std::size_t j = 0; j + 1 < n; ++j) {
        std::uint16_t token;
        std::memcpy(&token, src + j, 2);
        const S step = steps[(wordStart << 16) | std::size_t{token}];
        const std::size_t keep = skip ^ 1;
        std::memcpy(out, step.bytes.data(), kWidth);
        out += keep ? step.len : 0;
        skip = keep & (step.advance >> 1);
        wordStart = wordStartAfter[src[j]];
    }
    cursor = out;
    // A pair that took the last byte started just before it.
    if (skip) {
        lastStart = n - 2;
        return n;
    }
    if (!final)
        return n - 1;
    // At the end of the text the token is the last byte alone.
    const S step = tables.lastSteps[(wordStart << 8) | src[n - 1]];
    std::memcpy(out, step.bytes.data(), kWidth);
    cursor = out + step.len;
    lastStart = n - 1;
    return n;
}

template<typename S>
Span walkBlocks(const Tables<S> &tables, std::string_view src, unsigned char previous, bool final,
    std::string &out)
{
    // The walk writes into a block that stays in cache and is then appended, so the
    // result is written to memory once, without first zero-filling room for it. No
    // step yields more than kWidth bytes per source byte; the extra kWidth bytes let a
    // step always copy all its bytes without looking at its length.
    constexpr std::size_t kBlock = 16 * 1024;
    constexpr std::size_t kWidth = sizeof(S::bytes);
    const auto scratch = std::make_unique_for_overwrite<char[]>(kWidth * (kBlock + 1));
    const auto *bytes = reinterpret_cast<const unsigned char *>(src.data());
    const auto &wordStartAfter = sharedLookup().wordStartAfter;
    out.reserve(out.size() + src.size() + src.size() / 4);

    Span result;
    while (result.consumed < src.size()) {
        const std::size_t length = std::min(kBlock, src.size() - result.consumed);
        const bool tail = result.consumed + length == src.size();
        char *cursor = scratch.get();
        std::size_t lastStart = 0;
        const std::size_t done = walkBlock(tables, wordStartAfter, bytes + result.consumed, length,
            previous, tail && final, cursor, lastStart);
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

} // namespace

Span walk(Direction direction, Output output, std::string_view src, unsigned char previous,
    bool final, std::string &out)
{
    const Lookup &lookup = sharedLookup();
    const bool engArm = direction == Direction::EngArm;
    if (output == Output::Utf8)
        return walkBlocks(
            engArm ? lookup.engArmUtf8 : lookup.armEngUtf8, src, previous, final, out);
    return walkBlocks(engArm ? lookup.engArm : lookup.armEng, src, previous, final, out);
}

} // namespace vesnor::detail
