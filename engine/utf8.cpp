#include "vesnor/utf8.h"

#include "kernels.h"
#include "vesnor/codec.h"

#include <array>

namespace vesnor::utf8 {

namespace {

using codec::kForeign;

// The length of the sequence a byte opens: 0 for a byte that opens none.
constexpr int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    return lead < 0xC2 || lead > 0xF4 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// The byte for c, or kForeign with c kept aside. A genuine U+001A is kept aside
// too, so that entries and kForeign bytes stay paired one to one.
// It reads the table itself: it sits on the hot path of every letter read.
inline char toByte(char32_t c, std::u32string &foreign)
{
    const std::int16_t byte = c < codec::kReverseLimit ? codec::kFromUnicode[c] : -1;
    if (byte >= 0 && byte != kForeign)
        return static_cast<char>(byte);
    foreign.push_back(c);
    return static_cast<char>(kForeign);
}

} // namespace

char *put(char32_t c, char *out)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

void append(char32_t c, std::string &out)
{
    std::array<char, 4> bytes;
    out.append(bytes.data(), static_cast<std::size_t>(put(c, bytes.data()) - bytes.data()));
}

std::size_t wholeLength(std::string_view text)
{
    std::size_t start = text.size();
    for (std::size_t back = 0; back < kLongestSequence && start > 0; ++back) {
        const auto byte = static_cast<unsigned char>(text[--start]);
        if (!isContinuation(byte)) {
            const std::size_t length = std::max(sequenceLength(byte), 1);
            return text.size() - start >= length ? text.size() : start;
        }
    }
    return text.size();
}

std::optional<std::uint64_t> Reader::read(std::string_view input, bool final, std::string &bytes,
    std::u32string &foreign, std::size_t &used)
{
    const std::size_t start = bytes.size();
    bytes.resize(start + input.size() + kSlack);
    char *out = bytes.data() + start;
    const std::optional<std::uint64_t> error = read(input, final, out, foreign, used);
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return error;
}

std::optional<std::uint64_t> Reader::read(
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
            const int len = sequenceLength(lead);
            if (len == 0) {
                error = offset + i;
                stop = true;
                break;
            }
            constexpr std::array<char32_t, 5> kLeast = {0, 0, 0x80, 0x800, 0x10000};
            char32_t c = lead & (0x7F >> len);
            bool complete = true;
            bool valid = true;
            for (int k = 1; k < len; ++k) {
                if (i + k >= n) {
                    complete = false;
                    break;
                }
                const unsigned char follow = s[i + k];
                if (!isContinuation(follow)) {
                    valid = false;
                    break;
                }
                c = (c << 6) | (follow & 0x3F);
            }
            if (!valid
                || (complete
                    && (c < kLeast[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))) {
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

} // namespace vesnor::utf8
