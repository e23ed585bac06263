#include "utf8.h"

#include "kernels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vesnor::codec {

namespace {

using charset::kReverse;
using charset::kReverseLimit;
using charset::kToUnicode;

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
    return byteOf(c);
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

std::optional<std::uint64_t> Utf8Reader::read(std::string_view input, bool final,
    std::string &bytes, std::u32string &foreign, std::size_t &used)
{
    const std::size_t start = bytes.size();
    bytes.resize(start + input.size() + kSlack);
    char *out = bytes.data() + start;
    const std::optional<std::uint64_t> error = read(input, final, out, foreign, used);
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return error;
}

std::optional<std::uint64_t> Utf8Reader::read(
    std::string_view input, bool final, char *&out, std::u32string &foreign, std::size_t &used)
{
    const auto *s = reinterpret_cast<const unsigned char *>(input.data());
    const std::size_t n = input.size();
    const detail::Kernel &kernel = detail::kernel();
    std::size_t i = 0;
    std::optional<std::uint64_t> error;
    bool stop = false;
    // The kernel takes what it can; the careful path reads what stopped it, one
    // character where the kernel goes on after it, and twice as far each time the
    // kernel stops at once, as it does in text it cannot take at all.
    constexpr std::size_t kLongestStretch = 256;
    std::size_t stretch = 1;
    while (i < n && !stop) {
        const std::size_t taken = kernel.read(s + i, n - i, out);
        i += taken;
        stretch = taken > 0 ? 1 : std::min(2 * stretch, kLongestStretch);
        const std::size_t carefulUntil = std::min(n, i + stretch);
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
    offset += i;
    used = i;
    return error;
}

void appendUtf8(char32_t c, std::string &out)
{
    std::array<char, 4> bytes;
    out.append(bytes.data(), static_cast<std::size_t>(putUtf8(c, bytes.data()) - bytes.data()));
}

void appendRestoring(std::string &out, std::string_view utf8, Originals &originals)
{
    // The spans between placeholders are found and copied whole, so that real text
    // costs in proportion to its foreign characters and not to its length.
    std::size_t at = 0;
    while (originals.next < originals.foreign.size()) {
        const void *hit = std::memchr(utf8.data() + at, kForeign, utf8.size() - at);
        if (!hit)
            break;
        const auto position
            = static_cast<std::size_t>(static_cast<const char *>(hit) - utf8.data());
        out.append(utf8.data() + at, position - at);
        appendUtf8(originals.foreign[originals.next++], out);
        at = position + 1;
    }
    out.append(utf8.data() + at, utf8.size() - at);
}

} // namespace vesnor::codec
