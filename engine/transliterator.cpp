#include "vesnor/transliterator.h"

#include "tables.h"
#include "vesnor/utf8.h"
#include "walk.h"

#include <algorithm>
#include <array>
#include <memory>

namespace vesnor {

std::string convert(Direction direction, std::string_view text)
{
    std::string out;
    detail::walk(direction, Encoding::EightBit, text, detail::kTextStart, true, out);
    return out;
}

struct StreamConverter::State {
    bool take(std::string_view piece, bool final, std::string &out);
    std::size_t readUtf8(std::string_view part, bool final, std::string &out);
    void takeEightBit(std::string_view piece, bool final, std::string &out);

    const Direction direction;
    const Encoding encoding;
    utf8::Pieces pieces{};
    bool markChecked = false;
    std::string bytes{}; // 8-bit text not yet walked: a byte that may start a pair
    // Where a piece is read into 8-bit text behind those bytes: it is written before it
    // is read, so it grows without being filled first.
    std::unique_ptr<char[]> buffer{};
    std::size_t bufferSize = 0;
    std::u32string foreign{}; // originals of the kForeign bytes not yet written
    unsigned char previous = detail::kTextStart;
    utf8::Reader reader{}; // it counts the UTF-8 bytes taken from the input
    std::uint64_t offset = 0;
    bool failed = false;
};

StreamConverter::StreamConverter(Direction direction, Encoding encoding)
    : state(std::make_unique<State>(State{.direction = direction, .encoding = encoding}))
{
}

StreamConverter::~StreamConverter() = default;

std::uint64_t StreamConverter::errorOffset() const
{
    return state->offset;
}

bool StreamConverter::convert(std::string_view piece, std::string &out)
{
    return state->take(piece, false, out);
}

bool StreamConverter::finish(std::string &out)
{
    return state->take({}, true, out);
}

bool StreamConverter::State::take(std::string_view piece, bool final, std::string &out)
{
    if (failed)
        return false;
    if (encoding == Encoding::EightBit)
        takeEightBit(piece, final, out);
    else
        pieces.feed(piece, final,
            [&](std::string_view part, bool last) { return readUtf8(part, last, out); });
    return !failed;
}

// Converts whole characters of the part, returning how many of its bytes it took.
std::size_t StreamConverter::State::readUtf8(std::string_view part, bool final, std::string &out)
{
    if (failed)
        return 0;
    std::size_t skipped = 0;
    if (!markChecked) {
        if (!final && part.size() < utf8::kByteOrderMark.size()
            && utf8::kByteOrderMark.starts_with(part))
            return 0; // it may still be the mark
        markChecked = true;
        if (part.starts_with(utf8::kByteOrderMark)) {
            skipped = utf8::kByteOrderMark.size();
            reader = utf8::Reader(reader.consumed() + skipped);
        }
    }
    const std::string_view rest = part.substr(skipped);
    const std::size_t room = bytes.size() + rest.size() + utf8::Reader::kSlack;
    if (bufferSize < room) {
        bufferSize = std::max(room, 2 * bufferSize);
        buffer.reset(new char[bufferSize]); // unset, as it is written before it is read
    }
    char *end = std::copy(bytes.begin(), bytes.end(), buffer.get());
    std::size_t used = 0;
    if (const auto bad = reader.read(rest, final, end, foreign, used)) {
        failed = true;
        offset = *bad;
    }
    const std::string_view text(buffer.get(), static_cast<std::size_t>(end - buffer.get()));

    // What came before an invalid byte is a whole text of its own.
    detail::Originals originals{foreign};
    const std::size_t consumed = detail::walk(direction, Encoding::Utf8, text, previous,
        final || failed, out, detail::Method::Fastest, &originals);
    if (consumed > 0)
        previous = static_cast<unsigned char>(text[consumed - 1]);
    // What the walk held back stays for the next part.
    bytes.assign(text.substr(consumed));
    foreign.erase(0, originals.next);
    return skipped + used;
}

// 8-bit text needs no reading, so it is walked where it lies; only the byte held
// back, which may still pair with the next piece's first, is copied.
void StreamConverter::State::takeEightBit(std::string_view piece, bool final, std::string &out)
{
    std::string_view rest = piece;
    if (!bytes.empty() && !piece.empty()) {
        const std::array<char, 2> two{bytes[0], piece[0]};
        const std::size_t consumed = detail::walk(direction, Encoding::EightBit,
            std::string_view(two.data(), two.size()), previous, false, out);
        previous = static_cast<unsigned char>(two[consumed - 1]);
        rest = piece.substr(consumed - 1);
        bytes.clear();
    }
    // With nothing new, what was held back is all there is.
    const std::string held = bytes.empty() ? std::string() : std::move(bytes);
    if (!held.empty())
        rest = held;
    const std::size_t consumed
        = detail::walk(direction, Encoding::EightBit, rest, previous, final, out);
    if (consumed > 0)
        previous = static_cast<unsigned char>(rest[consumed - 1]);
    bytes.assign(rest.substr(consumed));
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

// The window's named form: the whole text through the one conversion, and its last
// token found afterwards from the end.
void Transliterator::ConvertEngArm()
{
    b += convert(Direction::EngArm, a);
    tar = a.substr(detail::lastStepStart(Direction::EngArm, a));
}

void Transliterator::ConvertArmEng()
{
    b += convert(Direction::ArmEng, a);
    tar = a.substr(detail::lastStepStart(Direction::ArmEng, a));
}

} // namespace vesnor
