#include "transliterator.h"

#include "tables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace vesnor {

namespace {

// What one rule appends: up to two bytes.
struct Piece {
    std::uint8_t len = 0;
    std::array<char, 2> bytes {};
};

// One step of a walk: what it appends and how many source bytes it consumes.
struct Step {
    std::array<char, 2> bytes {};
    std::uint8_t len = 0;
    std::uint8_t advance = 1;
};

Piece readPiece(std::string_view side, std::size_t index, std::size_t count)
{
    Piece piece;
    for (std::size_t k = 0; k < count && index + k < side.size(); ++k)
        piece.bytes[piece.len++] = side[index + k];
    return piece;
}

Piece literal(std::string_view text)
{
    Piece piece;
    for (const char c : text)
        piece.bytes[piece.len++] = c;
    return piece;
}

Step stepOf(const Piece &piece, std::uint8_t advance)
{
    return Step {piece.bytes, piece.len, advance};
}

// The four pairs that stand for one letter at a word start.
std::optional<Piece> wordStartPair(unsigned char first, unsigned char second)
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
std::optional<Piece> wordStartLetter(vesnor::Direction direction, unsigned char c)
{
    if (direction == vesnor::Direction::EngArm) {
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
    const std::array<unsigned char, 2> bytes {first, second};
    std::uint16_t token;
    std::memcpy(&token, bytes.data(), 2);
    return token;
}

} // namespace

// Every decision of a step depends only on whether it stands at a word start, on
// its byte and on the next one. So each direction is one table of finished steps,
// indexed by those three, and the walk needs no branch of its own.
class Lookup {
public:
    struct Tables {
        std::vector<Step> steps = std::vector<Step>(2 * kPairs); // [wordStart][byte][next]
        std::array<Step, 2 * 256> lastSteps {}; // [wordStart][byte], text end
    };
    Tables engArm;
    Tables armEng;
};

std::shared_ptr<const Lookup> buildLookup(
    std::string_view armenian, std::string_view latin, std::string_view kinds)
{
    const std::size_t cells = std::min({armenian.size(), latin.size(), kinds.size()});
    armenian = armenian.substr(0, cells);
    latin = latin.substr(0, cells);

    // First occurrences: walking the cells backwards lets the earliest one win. A
    // two-byte token that straddles two cells is found just like one inside a group.
    constexpr std::size_t kNone = SIZE_MAX;
    std::array<std::size_t, 256> latinFirst;
    std::array<std::size_t, 256> armenianFirst;
    latinFirst.fill(kNone);
    armenianFirst.fill(kNone);
    std::vector<std::size_t> latinPairFirst(kPairs, kNone);
    std::vector<std::size_t> armenianPairFirst(kPairs, kNone);
    for (std::size_t p = cells; p-- > 0;) {
        const auto lat = static_cast<unsigned char>(latin[p]);
        const auto arm = static_cast<unsigned char>(armenian[p]);
        latinFirst[lat] = p;
        armenianFirst[arm] = p;
        if (p + 1 < cells) {
            latinPairFirst[pairIndex(lat, static_cast<unsigned char>(latin[p + 1]))] = p;
            armenianPairFirst[pairIndex(arm, static_cast<unsigned char>(armenian[p + 1]))] = p;
        }
    }

    // The two-letter rule of each direction, for a token found at cell p.
    auto engArmPair = [&](std::size_t p) -> std::optional<Piece> {
        if (p == kNone || kinds[p] != '2')
            return std::nullopt;
        return readPiece(armenian, p, 1);
    };
    auto armEngPair = [&](std::size_t p) -> std::optional<Piece> {
        if (p == kNone || (kinds[p] != '2' && kinds[p] != '0'))
            return std::nullopt;
        return readPiece(latin, p, kinds[p] == '2' ? 2 : 1);
    };
    // The one-letter rule away from the word-start letters.
    auto engArmSingle = [&](unsigned char c) {
        const std::size_t p = latinFirst[c];
        return p == kNone ? literal(std::string_view(reinterpret_cast<const char *>(&c), 1))
                          : readPiece(armenian, p, kinds[p] == '0' ? 2 : 1);
    };
    // A lone continuation cell (only the second letter of "U") gives the Latin
    // letter of its own cell, the same as when it ends the text.
    auto armEngSingle = [&](unsigned char c) {
        const std::size_t p = armenianFirst[c];
        return p == kNone ? literal(std::string_view(reinterpret_cast<const char *>(&c), 1))
                          : readPiece(latin, p, kinds[p] == '2' ? 2 : 1);
    };

    auto lookup = std::make_shared<Lookup>();
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 256; ++c) {
            const auto byte = static_cast<unsigned char>(c);
            const auto engLetter
                = wordStart ? wordStartLetter(Direction::EngArm, byte) : std::nullopt;
            const auto armLetter
                = wordStart ? wordStartLetter(Direction::ArmEng, byte) : std::nullopt;
            const Step engOne = stepOf(engLetter ? *engLetter : engArmSingle(byte), 1);
            const Step armOne = stepOf(armLetter ? *armLetter : armEngSingle(byte), 1);

            for (std::size_t next = 0; next < 256; ++next) {
                const std::size_t token = pairIndex(byte, static_cast<unsigned char>(next));
                const std::size_t at = wordStart * kPairs + token;
                std::optional<Piece> eng = wordStart
                    ? wordStartPair(byte, static_cast<unsigned char>(next))
                    : std::nullopt;
                if (!eng)
                    eng = engArmPair(latinPairFirst[token]);
                lookup->engArm.steps[at] = eng ? stepOf(*eng, 2) : engOne;
                const auto arm = armEngPair(armenianPairFirst[token]);
                lookup->armEng.steps[at] = arm ? stepOf(*arm, 2) : armOne;
            }

            // At the end the token is the one byte, and it meets the pair rules
            // alone; a match there has nothing more to consume.
            const std::size_t at = wordStart * 256 + c;
            const auto engAlone = engArmPair(latinFirst[c]);
            lookup->engArm.lastSteps[at] = engAlone ? stepOf(*engAlone, 1) : engOne;
            const auto armAlone = armEngPair(armenianFirst[c]);
            lookup->armEng.lastSteps[at] = armAlone ? stepOf(*armAlone, 1) : armOne;
        }
    }
    return lookup;
}

namespace {

std::size_t walk(const Lookup::Tables &tables, const unsigned char *src, std::size_t n,
    unsigned char prev, bool final, char *&cursor, std::size_t &lastStart)
{
    if (n == 0)
        return 0;
    // The step at a position depends only on the source around it (a word start is
    // judged on the source, never on the result), so every position is looked up and
    // a one-bit flag says whether the step before already consumed it. That flag is
    // the only thing carried from one position to the next: no branch to mispredict
    // and no lookup waiting on the previous one.
    char *out = cursor;
    const Step *steps = tables.steps.data();
    std::size_t last = 0;
    std::size_t wordStart = prev == ' ';
    std::size_t skip = 0;
    for (std::size_t j = 0; j + 1 < n; ++j) {
        std::uint16_t token;
        std::memcpy(&token, src + j, 2);
        const Step step = steps[(wordStart << 16) | std::size_t {token}];
        const std::size_t keep = skip ^ 1;
        std::memcpy(out, step.bytes.data(), 2);
        out += keep ? step.len : 0;
        last = keep ? j : last;
        skip = keep & (step.advance >> 1);
        wordStart = src[j] == ' ';
    }
    cursor = out;
    if (skip) {
        lastStart = last;
        return n;
    }
    if (!final) {
        lastStart = last;
        return n - 1;
    }
    // At the end of the text the token is the last byte alone.
    const Step step = tables.lastSteps[(wordStart << 8) | src[n - 1]];
    out[0] = step.bytes[0];
    out[1] = step.bytes[1];
    cursor = out + step.len;
    lastStart = n - 1;
    return n;
}

} // namespace

SpanResult convertSpan(const Lookup &lookup, Direction direction, std::string_view src,
    unsigned char prev, bool final, std::string &out)
{
    // The walk writes into a block that stays in cache and is then appended, so the
    // result is written to memory once, without first zero-filling room for it. No
    // step yields more than two bytes per source byte; the two extra bytes let a step
    // always copy two bytes without looking at its length.
    constexpr std::size_t kBlock = 16 * 1024;
    const auto scratch = std::make_unique_for_overwrite<char[]>(2 * kBlock + 2);
    const Lookup::Tables &tables = direction == Direction::EngArm ? lookup.engArm : lookup.armEng;
    const auto *bytes = reinterpret_cast<const unsigned char *>(src.data());
    out.reserve(out.size() + src.size() + src.size() / 4);

    SpanResult result;
    while (result.consumed < src.size()) {
        const std::size_t length = std::min(kBlock, src.size() - result.consumed);
        const bool tail = result.consumed + length == src.size();
        char *cursor = scratch.get();
        std::size_t lastStart = 0;
        const std::size_t done
            = walk(tables, bytes + result.consumed, length, prev, tail && final, cursor, lastStart);
        out.append(scratch.get(), static_cast<std::size_t>(cursor - scratch.get()));
        if (done == 0)
            break;
        result.lastTokenStart = result.consumed + lastStart;
        result.consumed += done;
        prev = bytes[result.consumed - 1];
        if (tail)
            break;
    }
    return result;
}

Transliterator::Transliterator()
{
    Load();
}

void Transliterator::Load()
{
    aetext1 = tables::kArmenianSide;
    aetext2 = tables::kLatinSide;
    aetext3 = tables::kKinds;
    lookup = buildLookup(aetext1, aetext2, aetext3);
}

void Transliterator::ConvertEngArm()
{
    convert(Direction::EngArm);
}

void Transliterator::ConvertArmEng()
{
    convert(Direction::ArmEng);
}

void Transliterator::convert(Direction direction)
{
    const SpanResult result = convertSpan(*lookup, direction, a, ' ', true, b);
    tar = a.substr(result.lastTokenStart, result.consumed - result.lastTokenStart);
}

StreamConverter::StreamConverter(Direction direction)
    : direction(direction)
    , lookup(buildLookup(tables::kArmenianSide, tables::kLatinSide, tables::kKinds))
{
}

void StreamConverter::convert(std::string &pending, bool final, std::string &out)
{
    const std::size_t consumed
        = convertSpan(*lookup, direction, pending, prev, final, out).consumed;
    if (consumed > 0) {
        prev = static_cast<unsigned char>(pending[consumed - 1]);
        pending.erase(0, consumed);
    }
}

} // namespace vesnor
