#include "rules.h"

#include "kernels.h"
#include "tables.h"
#include "vesnor/codec.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vesnor::detail {

namespace {

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

std::optional<Step> wordStartLetter(Direction direction, unsigned char c)
{
    const auto find = [c](const auto &letters) -> std::optional<Step> {
        for (const tables::WordStartLetter &letter : letters)
            if (letter.from == c)
                return literal(letter.to);
        return std::nullopt;
    };
    return direction == Direction::EngArm ? find(tables::kWordStartLatin)
                                          : find(tables::kWordStartArmenian);
}

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
    std::vector<bool> seen(65536);
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
        for (const tables::WordStartPair &pair : tables::kWordStartPairs) {
            const auto letter = static_cast<char>(pair.letter);
            for (const char second : pair.seconds)
                rules.setPair(true, static_cast<unsigned char>(pair.first),
                    static_cast<unsigned char>(second),
                    consuming(literal(std::string_view(&letter, 1)), 2));
        }
    }
    const auto index
        = [](const Rules::Pair &pair) { return (pair.wordStart ? 256u : 0u) + pair.first; };
    std::stable_sort(rules.pairs.begin(), rules.pairs.end(),
        [&](const Rules::Pair &a, const Rules::Pair &b) { return index(a) < index(b); });
    for (const Rules::Pair &pair : rules.pairs)
        ++rules.runs[index(pair) + 1];
    for (std::size_t k = 1; k < rules.runs.size(); ++k)
        rules.runs[k] = static_cast<std::uint16_t>(rules.runs[k] + rules.runs[k - 1]);
    return rules;
}

} // namespace

void Rules::setPair(bool wordStart, unsigned char first, unsigned char second, Step step)
{
    for (Pair &pair : pairs) {
        if (pair.wordStart == wordStart && pair.first == first && pair.second == second) {
            pair.step = step;
            return;
        }
    }
    pairs.push_back({wordStart, first, second, step});
}

const Rules &sharedRules(Direction direction)
{
    return perDirection(direction, [](Direction each) { return buildRules(each); });
}

std::optional<ByteTables> buildByteTables(const Rules &rules)
{
    ByteTables tables;
    // Steps are numbered from 1; 0 is the byte itself.
    std::vector<Step> steps;
    auto number = [&](const Step &utf8) -> std::optional<unsigned char> {
        for (std::size_t k = 0; k < steps.size(); ++k)
            if (steps[k].len == utf8.len && steps[k].bytes == utf8.bytes)
                return static_cast<unsigned char>(k + 1);
        if (steps.size() + 1 >= ByteTables::kSteps)
            return std::nullopt;
        steps.push_back(utf8);
        return static_cast<unsigned char>(steps.size());
    };
    for (std::size_t wordStart = 0; wordStart < 2; ++wordStart) {
        for (std::size_t c = 0; c < 256; ++c) {
            const Step &step = rules.singles[wordStart * 256 + c];
            if (step.len == 1 && static_cast<unsigned char>(step.bytes[0]) == c)
                continue;
            const auto id = number(step);
            if (!id)
                return std::nullopt;
            tables.single[wordStart * 256 + c] = *id;
        }
    }

    // Each first byte's pairs as a row of (column, step); equal rows are stored once.
    constexpr std::size_t kNoColumn = 256;
    std::array<std::size_t, 256> columnOf;
    columnOf.fill(kNoColumn);
    std::size_t columns = 0;
    for (const Rules::Pair &pair : rules.pairs)
        if (columnOf[pair.second] == kNoColumn)
            columnOf[pair.second] = columns++;
    using Row = std::vector<std::pair<std::size_t, unsigned char>>;
    std::array<Row, 512> rows;
    for (const Rules::Pair &pair : rules.pairs) {
        const auto id = number(pair.step);
        if (!id)
            return std::nullopt;
        rows[(pair.wordStart ? 256 : 0) + pair.first].emplace_back(columnOf[pair.second], *id);
    }
    // A byte that is no second of any pair reads the column past the last, which no
    // row uses: the place it finds belongs to another row or to none.
    for (std::size_t c = 0; c < 256; ++c)
        tables.column[c]
            = static_cast<unsigned char>(columnOf[c] == kNoColumn ? columns : columnOf[c]);
    constexpr unsigned char kNobody = 0xFF;
    tables.owner.fill(kNobody);
    std::vector<std::pair<Row, unsigned char>> placed;
    for (std::size_t index = 0; index < rows.size(); ++index) {
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

    tables.rowsAtStartDiffer
        = !std::equal(tables.rowOf.begin(), tables.rowOf.begin() + 256, tables.rowOf.begin() + 256);
    const auto last = std::find_if(tables.owner.rbegin(), tables.owner.rend(),
        [&](unsigned char owner) { return owner != kNobody; });
    tables.placesBelow128 = tables.owner.rend() - last + columns < 128;
    // A step's length is told by its second byte: none (0) for one byte.
    for (std::size_t k = 0; k < steps.size(); ++k) {
        if (steps[k].len == 0 || (steps[k].len == 2 && steps[k].bytes[1] == 0))
            return std::nullopt;
        for (std::size_t b = 0; b < steps[k].len; ++b)
            tables.bytes[b][k + 1] = static_cast<unsigned char>(steps[k].bytes[b]);
    }
    return tables;
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

} // namespace vesnor::detail
