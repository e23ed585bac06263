#include "transliterator.h"

#include "tables.h"
#include "utf8.h"
#include "walk.h"

#include <algorithm>
#include <array>
#include <memory>

namespace vesnor {

std::string convert(Direction direction, std::string_view text)
{
    std::string out;
    detail::walk(direction, detail::Output::EightBit, text, detail::kTextStart, true, out);
    return out;
}

StreamConverter::StreamConverter(Direction direction, Encoding encoding)
    : direction(direction)
    , encoding(encoding)
    , previous(detail::kTextStart)
{
}

bool StreamConverter::convert(std::string_view piece, std::string &out)
{
    return take(piece, false, out);
}

bool StreamConverter::finish(std::string &out)
{
    return take({}, true, out);
}

bool StreamConverter::take(std::string_view piece, bool final, std::string &out)
{
    if (failed)
        return false;
    if (encoding == Encoding::EightBit)
        return takeEightBit(piece, final, out);
    // Only an unfinished sequence is kept between pieces. It is finished with the
    // few bytes it lacks from the new piece, and the rest is read where it lies.
    std::string_view input = piece;
    if (!raw.empty()) {
        constexpr std::size_t kLongestSequence = 4;
        const std::size_t pending = raw.size();
        const std::size_t borrowed = std::min(piece.size(), kLongestSequence);
        raw.append(piece.substr(0, borrowed));
        const std::size_t used = readUtf8(raw, final && borrowed == piece.size(), bytes);
        if (failed || used < pending) {
            // Invalid, or the piece too short to finish it.
            raw.erase(0, used);
            input = {};
        } else {
            raw.clear();
            input = piece.substr(used - pending);
        }
    }
    std::string_view text = bytes;
    if (!failed) {
        // Plain ASCII needs no reading: the walk takes it as it stands. A character
        // set aside and not yet written is held back, and then nothing is taken.
        const std::size_t taken = detail::walkPlainStart(direction, bytes, input, previous, out);
        read += taken;
        const std::string_view rest = input.substr(taken);
        const std::size_t room = bytes.size() + rest.size() + codec::Utf8Reader::kSlack;
        if (bufferSize < room) {
            bufferSize = std::max(room, 2 * bufferSize);
            buffer.reset(new char[bufferSize]); // unset, as it is written before it is read
        }
        char *end = std::copy(bytes.begin(), bytes.end(), buffer.get());
        const std::size_t used = readUtf8(rest, final, end);
        raw.append(rest.substr(used));
        text = std::string_view(buffer.get(), static_cast<std::size_t>(end - buffer.get()));
    }
    // What came before an invalid byte is a whole text of its own.
    if (failed)
        final = true;

    codec::Originals originals{foreign};
    const std::size_t consumed = detail::walk(direction, detail::Output::Utf8, text, previous,
        final, out, detail::Method::Fastest, &originals)
                                     .consumed;
    if (consumed > 0)
        previous = static_cast<unsigned char>(text[consumed - 1]);
    // What the walk held back stays for the next piece.
    if (text.data() == bytes.data())
        bytes.erase(0, consumed);
    else
        bytes.assign(text.substr(consumed));
    foreign.erase(0, originals.next);
    return !failed;
}

template<typename Into>
std::size_t StreamConverter::readUtf8(std::string_view text, bool final, Into &into)
{
    codec::Utf8Reader reader(read);
    std::size_t used = 0;
    if (const auto bad = reader.read(text, final, into, foreign, used)) {
        failed = true;
        offset = *bad;
    }
    read = reader.consumed();
    return used;
}

// 8-bit text needs no reading, so it is walked where it lies; only the byte held
// back, which may still pair with the next piece's first, is copied.
bool StreamConverter::takeEightBit(std::string_view piece, bool final, std::string &out)
{
    std::string_view rest = piece;
    if (!bytes.empty() && !piece.empty()) {
        const std::array<char, 2> two{bytes[0], piece[0]};
        const std::size_t consumed = detail::walk(direction, detail::Output::EightBit,
            std::string_view(two.data(), two.size()), previous, false, out)
                                         .consumed;
        previous = static_cast<unsigned char>(two[consumed - 1]);
        rest = piece.substr(consumed - 1);
        bytes.clear();
    }
    // With nothing new, what was held back is all there is.
    const std::string held = bytes.empty() ? std::string() : std::move(bytes);
    if (!held.empty())
        rest = held;
    const std::size_t consumed
        = detail::walk(direction, detail::Output::EightBit, rest, previous, final, out).consumed;
    if (consumed > 0)
        previous = static_cast<unsigned char>(rest[consumed - 1]);
    bytes.assign(rest.substr(consumed));
    return true;
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
    const detail::Span span
        = detail::walk(direction, detail::Output::EightBit, a, detail::kTextStart, true, b);
    tar = a.substr(span.lastTokenStart, span.consumed - span.lastTokenStart);
}

} // namespace vesnor
