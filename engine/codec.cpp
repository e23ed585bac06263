#include "utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vesnor::codec {

namespace {

constexpr char32_t kArmenianCapitalA = 0x0531;
constexpr char32_t kArmenianSmallA = 0x0561;
constexpr int kLetters = 38;

constexpr std::array<char32_t, 256> makeToUnicode()
{
    std::array<char32_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<char32_t>(b);
    for (int k = 0; k < kLetters; ++k) {
        table[0xB2 + 2 * k] = kArmenianCapitalA + k;
        table[0xB3 + 2 * k] = kArmenianSmallA + k;
    }
    table[0xA8] = 0x0587;
    table[0xA3] = 0x0589;
    table[0xA6] = 0x00BB;
    table[0xA7] = 0x00AB;
    table[0xAA] = 0x055D;
    table[0xAF] = 0x055C;
    table[0xB0] = 0x055B;
    table[0xB1] = 0x055E;
    table[0xFE] = 0x055A;
    table[0xAB] = 0x058A;
    return table;
}

constexpr std::array<char32_t, 256> kToUnicode = makeToUnicode();

// Every image lies below U+0800, the range of one- and two-byte UTF-8, so one
// small table answers the way back.
constexpr char32_t kReverseLimit = 0x0800;

struct Reverse {
    std::array<std::int16_t, kReverseLimit> byte{};
    constexpr Reverse()
    {
        for (auto &b : byte)
            b = -1;
        for (int b = 0; b < 256; ++b)
            byte[kToUnicode[b]] = static_cast<std::int16_t>(b);
    }
};

constexpr Reverse kReverse;

// UTF-8 of each byte's character, for the walk that writes UTF-8 directly.
constexpr std::array<Utf8Bytes, 256> makeUtf8Of()
{
    std::array<Utf8Bytes, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char32_t c = kToUnicode[b];
        if (c < 0x80) {
            table[b] = {{static_cast<char>(c), 0}, 1};
        } else {
            table[b]
                = {{static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))}, 2};
        }
    }
    return table;
}

constexpr std::array<Utf8Bytes, 256> kUtf8Of = makeUtf8Of();

// The byte for c, or kForeign with c kept aside. A genuine U+001A is kept aside
// too, so that entries and kForeign bytes stay paired one to one.
// It reads the table itself: it sits on the hot path of every letter read.
inline char toByte(char32_t c, std::u32string &foreign)
{
    const std::int16_t byte = c < kReverseLimit ? kReverse.byte[c] : -1;
    if (byte >= 0 && byte != kForeign)
        return static_cast<char>(byte);
    foreign.push_back(c);
    return static_cast<char>(kForeign);
}

} // namespace

Utf8Bytes utf8Of(unsigned char byte)
{
    return kUtf8Of[byte];
}

char32_t toUnicode(unsigned char byte)
{
    return kToUnicode[byte];
}

std::optional<unsigned char> fromUnicode(char32_t c)
{
    if (c >= kReverseLimit || kReverse.byte[c] < 0)
        return std::nullopt;
    return static_cast<unsigned char>(kReverse.byte[c]);
}

EightBitText encode(std::u32string_view text)
{
    EightBitText result;
    result.bytes.reserve(text.size());
    for (const char32_t c : text)
        result.bytes.push_back(toByte(c, result.foreign));
    return result;
}

std::u32string decode(std::string_view bytes, std::u32string_view foreign)
{
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t next = 0;
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == kForeign && next < foreign.size())
            text.push_back(foreign[next++]);
        else
            text.push_back(kToUnicode[byte]);
    }
    return text;
}

namespace {

// The fast path of the reader looks at every byte of the input together with the
// next one, as one 16-bit index, and learns from one table what the byte yields:
// its 8-bit byte (low byte), whether it yields one (a continuation byte does not),
// and whether the fast path must leave the text to the careful one (an invalid or
// foreign sequence, U+001A, a sequence longer than two bytes).
constexpr std::uint16_t kYields = 0x100;
constexpr std::uint16_t kCareful = 0x8000;

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

bool isTwoByteLead(unsigned char b)
{
    return b >= 0xC2 && b <= 0xDF;
}

std::uint16_t pairEntry(unsigned char first, unsigned char second)
{
    // A continuation must follow a two-byte lead; the lead's own entry checks it,
    // so every other byte refuses one after it.
    if (isTwoByteLead(first)) {
        if (!isContinuation(second))
            return kCareful;
        const std::int16_t byte = kReverse.byte[(char32_t{first & 0x1Fu} << 6) | (second & 0x3Fu)];
        if (byte < 0 || byte == kForeign)
            return kCareful;
        return static_cast<std::uint16_t>(kYields | byte);
    }
    if (isContinuation(second))
        return kCareful;
    if (isContinuation(first))
        return 0;
    if (first < 0x80 && first != kForeign)
        return static_cast<std::uint16_t>(kYields | first);
    return kCareful;
}

const std::vector<std::uint16_t> &pairEntries()
{
    static const std::vector<std::uint16_t> entries = [] {
        std::vector<std::uint16_t> table(65536);
        for (unsigned first = 0; first < 256; ++first)
            for (unsigned second = 0; second < 256; ++second)
                table[twoByteIndex(
                    static_cast<unsigned char>(first), static_cast<unsigned char>(second))]
                    = pairEntry(
                        static_cast<unsigned char>(first), static_cast<unsigned char>(second));
        return table;
    }();
    return entries;
}

constexpr std::size_t kFastRun = 32;

// Plain ASCII without U+001A, and no continuation byte after it.
bool plainAscii(const unsigned char *s)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::uint64_t any = 0;
    for (std::size_t k = 0; k < kFastRun; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, s + k, 8);
        const std::uint64_t foreignBytes = word ^ (kOnes * kForeign);
        any |= word | ((foreignBytes - kOnes) & ~foreignBytes);
    }
    return (any & kHighs) == 0 && !isContinuation(s[kFastRun]);
}

// Reads kFastRun bytes of s, which must be followed by one more, into out when the
// fast path can take them all. Returns the bytes written, or nothing.
std::optional<std::size_t> fastRun(const unsigned char *s, char *out, const std::uint16_t *entries)
{
    if (plainAscii(s)) {
        std::memcpy(out, s, kFastRun);
        return kFastRun;
    }
    std::uint16_t seen = 0;
    char *o = out;
#pragma GCC unroll 4
    for (std::size_t k = 0; k < kFastRun; ++k) {
        std::uint16_t index;
        std::memcpy(&index, s + k, 2);
        const std::uint16_t entry = entries[index];
        *o = static_cast<char>(entry);
        o += (entry >> 8) & 1;
        seen |= entry;
    }
    if (seen & kCareful)
        return std::nullopt;
    return static_cast<std::size_t>(o - out);
}

} // namespace

std::optional<std::uint64_t> Utf8Reader::read(std::string_view input, bool final,
    std::string &bytes, std::u32string &foreign, std::size_t &used)
{
    const auto *s = reinterpret_cast<const unsigned char *>(input.data());
    const std::size_t n = input.size();
    const std::size_t start = bytes.size();
    bytes.resize(start + n);
    char *out = bytes.data() + start;
    // A pointer of its own: the writes through `out` could otherwise alias the
    // vector's, and the compiler would read it again for every byte.
    const std::uint16_t *entries = pairEntries().data();
    std::size_t i = 0;
    std::optional<std::uint64_t> error;
    bool stop = false;
    // The last fast run ended on a lead byte, and read its continuation with it.
    bool continuationRead = false;
    while (i < n && !stop) {
        // Runs the fast path takes whole; where it cannot, the careful path reads
        // the run character by character.
        std::size_t carefulUntil = n;
        // A continuation byte at the start of a run belongs to the run before it,
        // which checked it only when it was a fast one.
        if (i + kFastRun < n && (continuationRead || !isContinuation(s[i]))) {
            if (const auto written = fastRun(s + i, out, entries)) {
                out += *written;
                i += kFastRun;
                continuationRead = isTwoByteLead(s[i - 1]);
                continue;
            }
            carefulUntil = i + kFastRun;
        }
        if (continuationRead) {
            ++i;
            continuationRead = false;
        }
        while (i < carefulUntil) {
            const unsigned char lead = s[i];
            if (lead < 0x80) {
                *out++ = lead == kForeign ? toByte(lead, foreign) : static_cast<char>(lead);
                ++i;
                continue;
            }
            int len;
            char32_t c;
            char32_t min;
            if (lead >= 0xC2 && lead <= 0xDF) {
                len = 2;
                c = lead & 0x1F;
                min = 0x80;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                len = 3;
                c = lead & 0x0F;
                min = 0x800;
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                len = 4;
                c = lead & 0x07;
                min = 0x10000;
            } else {
                error = offset + i;
                stop = true;
                break;
            }
            bool complete = true;
            bool valid = true;
            for (int k = 1; k < len; ++k) {
                if (i + k >= n) {
                    complete = false;
                    break;
                }
                const unsigned char follow = s[i + k];
                if ((follow & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (follow & 0x3F);
            }
            if (!valid || (complete && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))) {
                error = offset + i;
                stop = true;
                break;
            }
            if (!complete) {
                // A sequence cut by the chunk's end: what is there could still be valid.
                if (final)
                    error = offset + i;
                stop = true;
                break;
            }
            *out++ = toByte(c, foreign);
            i += static_cast<std::size_t>(len);
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    offset += i;
    used = i;
    return error;
}

void appendUtf8(char32_t c, std::string &out)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

namespace {

std::size_t utf8Length(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

void restoreForeign(
    std::string &utf8, std::size_t from, std::u32string_view foreign, std::size_t &next)
{
    // Where the placeholders are, found a whole span at a time; the text grows by
    // what their originals need beyond one byte, and then each span moves once,
    // from the back, so that real text costs in proportion to its foreign
    // characters and not to its length.
    static thread_local std::vector<std::size_t> hits;
    hits.clear();
    std::size_t added = 0;
    for (std::size_t at = from; next + hits.size() < foreign.size() && at < utf8.size();) {
        const void *hit = std::memchr(utf8.data() + at, kForeign, utf8.size() - at);
        if (!hit)
            break;
        const auto position
            = static_cast<std::size_t>(static_cast<const char *>(hit) - utf8.data());
        added += utf8Length(foreign[next + hits.size()]) - 1;
        hits.push_back(position);
        at = position + 1;
    }
    if (hits.empty())
        return;
    const std::size_t end = utf8.size();
    utf8.resize(end + added);
    char *data = utf8.data();
    std::size_t source = end;
    std::size_t target = end + added;
    std::string original;
    for (std::size_t k = hits.size(); k-- > 0;) {
        const std::size_t span = source - (hits[k] + 1);
        target -= span;
        std::memmove(data + target, data + hits[k] + 1, span);
        original.clear();
        appendUtf8(foreign[next + k], original);
        target -= original.size();
        std::memcpy(data + target, original.data(), original.size());
        source = hits[k];
    }
    next += hits.size();
}

} // namespace vesnor::codec
