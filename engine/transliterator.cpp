#include "transliterator.h"

#include "tables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vesnor {

namespace {

// What one rule appends: up to two bytes.
struct Piece {
    std::uint8_t len = 0;
    std::array<char, 2> bytes {};
};

Piece readPiece(std::string_view side, std::size_t index, std::size_t count)
{
    Piece piece;
    for (std::size_t k = 0; k < count && index + k < side.size(); ++k)
        piece.bytes[piece.len++] = side[index + k];
    return piece;
}

Piece literal(unsigned char c)
{
    Piece piece;
    piece.len = 1;
    piece.bytes[0] = static_cast<char>(c);
    return piece;
}

std::size_t pairIndex(unsigned char first, unsigned char second)
{
    return (std::size_t { first } << 8) | second;
}

} // namespace

class Lookup {
public:
    static constexpr std::size_t kMaxCells = 255;

    // Latin to Armenian.
    std::vector<std::uint8_t> digraph = std::vector<std::uint8_t>(65536); // 0: rule does not apply
    std::array<std::uint8_t, 256> digraphAlone {}; // a one-byte token at the end of the text
    std::array<Piece, 256> latinSingle {};

    // Armenian to Latin. The pair table holds a cell index + 1, so that one byte suffices.
    std::vector<std::uint8_t> armenianPair = std::vector<std::uint8_t>(65536);
    std::array<Piece, kMaxCells + 1> armenianPairPiece {};
    std::array<Piece, 256> armenianPairAlone {}; // len 0: rule does not apply
    std::array<Piece, 256> armenianSingle {};
};

std::shared_ptr<const Lookup> buildLookup(
    std::string_view armenian, std::string_view latin, std::string_view kinds)
{
    auto lookup = std::make_shared<Lookup>();
    const std::size_t cells
        = std::min({ armenian.size(), latin.size(), kinds.size(), Lookup::kMaxCells });
    armenian = armenian.substr(0, cells);
    latin = latin.substr(0, cells);
    auto kindAt = [&](std::size_t index) { return kinds[index]; };

    // First occurrences: walking the cells backwards lets the earliest one win. A
    // two-byte token can only start at a cell with a successor, and a token that
    // straddles two cells is found just like one inside a group.
    constexpr std::size_t kNone = SIZE_MAX;
    std::array<std::size_t, 256> latinFirst;
    std::array<std::size_t, 256> armenianFirst;
    latinFirst.fill(kNone);
    armenianFirst.fill(kNone);
    std::vector<std::size_t> latinPairFirst(65536, kNone);
    std::vector<std::size_t> armenianPairFirst(65536, kNone);
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

    for (std::size_t token = 0; token < 65536; ++token) {
        if (const std::size_t p = latinPairFirst[token]; p != kNone && kindAt(p) == '2')
            lookup->digraph[token] = static_cast<std::uint8_t>(armenian[p]);
        if (const std::size_t p = armenianPairFirst[token];
            p != kNone && (kindAt(p) == '2' || kindAt(p) == '0'))
            lookup->armenianPair[token] = static_cast<std::uint8_t>(p + 1);
    }
    for (std::size_t p = 0; p < cells; ++p)
        lookup->armenianPairPiece[p + 1] = readPiece(latin, p, kindAt(p) == '2' ? 2 : 1);

    for (std::size_t c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        if (const std::size_t p = latinFirst[c]; p == kNone) {
            lookup->latinSingle[c] = literal(byte);
        } else {
            if (kindAt(p) == '2')
                lookup->digraphAlone[c] = static_cast<std::uint8_t>(armenian[p]);
            lookup->latinSingle[c] = readPiece(armenian, p, kindAt(p) == '0' ? 2 : 1);
        }
        if (const std::size_t p = armenianFirst[c]; p == kNone) {
            lookup->armenianSingle[c] = literal(byte);
        } else {
            // A lone continuation cell (only the second letter of "U") gives the Latin
            // letter of its own cell, as it does when it ends the text.
            lookup->armenianSingle[c] = readPiece(latin, p, kindAt(p) == '2' ? 2 : 1);
            if (kindAt(p) == '2' || kindAt(p) == '0')
                lookup->armenianPairAlone[c] = lookup->armenianPairPiece[p + 1];
        }
    }
    return lookup;
}

namespace {

void put(char *&out, const Piece &piece)
{
    out[0] = piece.bytes[0];
    out[1] = piece.bytes[1];
    out += piece.len;
}

// The four pairs that stand for one letter at a word start; 0 where none applies.
unsigned char wordStartPair(unsigned char first, unsigned char second)
{
    if (first == 'V' && (second == 'O' || second == 'o'))
        return 0xE0; // Ո
    if (first == 'v' && second == 'o')
        return 0xE1; // ո
    if (first == 'Y' && (second == 'E' || second == 'e'))
        return 0xBA; // Ե
    if (first == 'y' && second == 'e')
        return 0xBB; // ե
    return 0;
}

// The four letters that take a fixed Latin form at a word start.
const char *wordStartLetter(unsigned char c)
{
    switch (c) {
    case 0xE0:
        return "Vo";
    case 0xE1:
        return "vo";
    case 0xBA:
        return "Ye";
    case 0xBB:
        return "ye";
    default:
        return nullptr;
    }
}

std::size_t walkEngArm(const Lookup &lookup, const unsigned char *src, std::size_t n,
    unsigned char prev, bool final, char *&cursor, std::size_t &lastStart)
{
    // Locals rather than the references: byte stores through `out` could otherwise
    // alias them and force a reload on every step.
    char *out = cursor;
    std::size_t last = 0;
    std::size_t i = 0;
    while (i < n) {
        last = i;
        const unsigned char c = src[i];
        const bool wordStart = prev == ' ';
        if (i + 1 < n) {
            const unsigned char next = src[i + 1];
            if (wordStart) {
                if (const unsigned char letter = wordStartPair(c, next)) {
                    *out++ = static_cast<char>(letter);
                    prev = next;
                    i += 2;
                    continue;
                }
            }
            if (const std::uint8_t letter = lookup.digraph[pairIndex(c, next)]) {
                *out++ = static_cast<char>(letter);
                prev = next;
                i += 2;
                continue;
            }
        } else if (!final) {
            break;
        } else if (const std::uint8_t letter = lookup.digraphAlone[c]) {
            *out++ = static_cast<char>(letter);
            ++i;
            continue;
        }
        if (wordStart && c == 'o')
            *out++ = static_cast<char>(0xFB); // օ
        else if (wordStart && c == 'O')
            *out++ = static_cast<char>(0xFA); // Օ
        else
            put(out, lookup.latinSingle[c]);
        prev = c;
        ++i;
    }
    cursor = out;
    lastStart = last;
    return i;
}

std::size_t walkArmEng(const Lookup &lookup, const unsigned char *src, std::size_t n,
    unsigned char prev, bool final, char *&cursor, std::size_t &lastStart)
{
    // Locals rather than the references: byte stores through `out` could otherwise
    // alias them and force a reload on every step.
    char *out = cursor;
    std::size_t last = 0;
    std::size_t i = 0;
    while (i < n) {
        last = i;
        const unsigned char c = src[i];
        if (i + 1 < n) {
            const unsigned char next = src[i + 1];
            if (const std::uint8_t cell = lookup.armenianPair[pairIndex(c, next)]) {
                put(out, lookup.armenianPairPiece[cell]);
                prev = next;
                i += 2;
                continue;
            }
        } else if (!final) {
            break;
        } else if (lookup.armenianPairAlone[c].len != 0) {
            put(out, lookup.armenianPairAlone[c]);
            ++i;
            continue;
        }
        const char *fixed = prev == ' ' ? wordStartLetter(c) : nullptr;
        if (fixed) {
            *out++ = fixed[0];
            *out++ = fixed[1];
        } else {
            put(out, lookup.armenianSingle[c]);
        }
        prev = c;
        ++i;
    }
    cursor = out;
    lastStart = last;
    return i;
}

} // namespace

SpanResult convertSpan(const Lookup &lookup, Direction direction, std::string_view src,
    unsigned char prev, bool final, std::string &out)
{
    // No token yields more than two bytes per source byte; the extra two bytes let
    // put() always copy two bytes without checking the length.
    const std::size_t start = out.size();
    out.resize(start + 2 * src.size() + 2);
    char *cursor = out.data() + start;
    const auto *bytes = reinterpret_cast<const unsigned char *>(src.data());
    SpanResult result;
    result.consumed = direction == Direction::EngArm
        ? walkEngArm(lookup, bytes, src.size(), prev, final, cursor, result.lastTokenStart)
        : walkArmEng(lookup, bytes, src.size(), prev, final, cursor, result.lastTokenStart);
    out.resize(static_cast<std::size_t>(cursor - out.data()));
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
