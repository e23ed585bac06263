#pragma once

// UTF-8 for the whole program: the careful reader into 8-bit text (its fast stretches
// on the kernel in use), writing characters, and the carrier of a cut sequence.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesnor::utf8 {

inline constexpr std::size_t kLongestSequence = 4;
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A continuation byte: 80-BF.
constexpr bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Writes the UTF-8 of c at out, which has room for four bytes; returns its end.
char *put(char32_t c, char *out);
void append(char32_t c, std::string &out);

// Where the last character of text that is whole ends: before a sequence cut short.
std::size_t wholeLength(std::string_view text);

// UTF-8 to 8-bit text: each character becomes its byte, and a character without one
// becomes codec::kForeign with the character appended to `foreign`.
class Reader {
public:
    // `consumed` bytes of the input came before what the reader is given.
    explicit Reader(std::uint64_t consumed = 0)
        : offset(consumed)
    {
    }
    std::uint64_t consumed() const { return offset; }

    // The room the reader writes in past the bytes it yields.
    static constexpr std::size_t kSlack = 64;

    // Reads input where it lies up to an invalid sequence or, unless `final`, one cut by
    // its end, writing at out (room for input.size() + kSlack bytes) and moving it along;
    // `used` tells how much was read. Returns the whole input's offset of an invalid one.
    std::optional<std::uint64_t> read(
        std::string_view input, bool final, char *&out, std::u32string &foreign, std::size_t &used);
    // The same, appending to bytes.
    std::optional<std::uint64_t> read(std::string_view input, bool final, std::string &bytes,
        std::u32string &foreign, std::size_t &used);

private:
    std::uint64_t offset = 0;
};

// A text that arrives in pieces, read whole characters at a time. A sequence cut by
// a piece's end is held; the next piece finishes it with the few bytes it lacks, and
// the rest of that piece is read where it lies, never copied.
class Pieces {
public:
    // Hands the piece to read(part, final), which returns how many bytes of the part
    // it took: the held sequence finished first, then the rest of the piece. A part's
    // untaken end is held where it is shorter than a sequence, and is otherwise where
    // the reader stopped for good.
    template<typename Read> void feed(std::string_view piece, bool final, Read read)
    {
        if (!held.empty()) {
            const std::size_t pending = held.size();
            const std::size_t borrowed = std::min(piece.size(), kLongestSequence);
            held.append(piece.substr(0, borrowed));
            const std::size_t used
                = read(std::string_view(held), final && borrowed == piece.size());
            if (used < pending) {
                // Still cut: the piece was shorter than what the sequence lacks.
                held.erase(0, used);
                return;
            }
            piece.remove_prefix(used - pending);
            held.clear();
        }
        const std::size_t used = read(piece, final);
        if (piece.size() - used < kLongestSequence)
            held.assign(piece.substr(used));
    }

    bool holdsCut() const { return !held.empty(); }

private:
    std::string held;
};

} // namespace vesnor::utf8
