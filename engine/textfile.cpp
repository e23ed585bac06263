#include "vesnor/textfile.h"

#include "vesnor/codec.h"
#include "vesnor/utf8.h"

#include <algorithm>

namespace vesnor::textfile {

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kParagraphSeparator = 0x2029;
constexpr char32_t kReplacement = 0xFFFD;

bool hasUtf16Mark(std::string_view bytes, std::uint64_t size)
{
    return size % 2 == 0 && bytes.size() >= 2
        && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF");
}

std::string utf16ToUtf8(std::string_view bytes)
{
    const bool little = bytes[0] == '\xFF';
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(little ? first | second << 8 : first << 8 | second);
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        char32_t c = unit(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t next = unit(at + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                at += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = kReplacement;
        utf8::append(c, out);
    }
    return out;
}

} // namespace

std::string nameInSeries(std::string_view name, std::size_t taken)
{
    std::string named;
    for (; taken > 0; --taken)
        named += "new ";
    return named.append(name);
}

struct Sniffer::State {
    std::string head; // the first bytes, up to the length of kHead
    std::uint64_t size = 0;
    bool nul = false;
    bool high = false;
    bool invalid = false;
    utf8::Pieces pieces;
    std::string bytes;
    std::u32string foreign;
};

Sniffer::Sniffer()
    : state(std::make_unique<State>())
{
}

Sniffer::~Sniffer() = default;

bool Sniffer::asciiOnly() const
{
    return !state->high;
}

void Sniffer::feed(std::string_view piece)
{
    State &s = *state;
    if (s.head.size() < kHead.size())
        s.head.append(piece.substr(0, kHead.size() - s.head.size()));
    s.size += piece.size();
    for (const char ch : piece) {
        s.nul |= ch == '\0';
        s.high |= static_cast<unsigned char>(ch) >= 0x80;
    }
    s.pieces.feed(piece, false, [&](std::string_view part, bool) -> std::size_t {
        if (s.invalid)
            return 0;
        s.bytes.clear();
        s.foreign.clear();
        std::size_t used = 0;
        s.invalid = utf8::Reader().read(part, false, s.bytes, s.foreign, used).has_value();
        return used;
    });
}

Kind Sniffer::kind() const
{
    const State &s = *state;
    if (hasUtf16Mark(s.head, s.size))
        return Kind::Utf16;
    // Only Save writes the head, and its box may have held any character, U+0000 too.
    if (s.head.starts_with(kHead))
        return Kind::Saved;
    if (s.nul)
        return Kind::Binary;
    if (s.invalid || s.pieces.holdsCut())
        return Kind::EightBit;
    return Kind::Utf8;
}

Kind classify(std::string_view bytes)
{
    Sniffer sniffer;
    sniffer.feed(bytes);
    return sniffer.kind();
}

Decoder::Decoder(bool keepHead)
    : keepHead(keepHead)
{
}

void Decoder::decode(std::string_view piece, std::string &out)
{
    if (!headDone) {
        const std::size_t taken = std::min(piece.size(), kHead.size() - head.size());
        head.append(piece.substr(0, taken));
        piece.remove_prefix(taken);
        if (head.size() < kHead.size() && head == kHead.substr(0, head.size()))
            return; // it may still be the head
        headDone = true;
        if (keepHead || head != kHead)
            body(head, out);
        head.clear();
    }
    body(piece, out);
}

void Decoder::finish(std::string &out)
{
    if (!headDone) {
        headDone = true;
        body(head, out);
        head.clear();
    }
    if (carriageReturn)
        out.push_back('\r');
    carriageReturn = false;
}

void Decoder::body(std::string_view bytes, std::string &out)
{
    for (const char ch : bytes) {
        if (carriageReturn && ch != '\n')
            out.push_back('\r');
        carriageReturn = ch == '\r';
        if (carriageReturn)
            continue;
        const codec::Utf8Bytes utf8 = codec::utf8Of(static_cast<unsigned char>(ch));
        out.append(utf8.bytes.data(), utf8.len);
    }
}

struct Encoder::State {
    std::size_t take(std::string_view part, bool final, std::string &out);

    const EncodeOptions options;
    Report &result;
    utf8::Pieces pieces{};
    utf8::Reader reader{}; // it counts where the next part starts in the whole input
    std::string bytes{};
    std::u32string foreign{};
    bool started = false;
    bool carriageReturn = false; // the last break was a CR: a LF right after it is the same break
};

Encoder::Encoder(EncodeOptions options)
    : state(std::make_unique<State>(State{.options = options, .result = result}))
{
}

Encoder::~Encoder() = default;

bool Encoder::encode(std::string_view piece, std::string &out)
{
    return take(piece, false, out);
}

bool Encoder::finish(std::string &out)
{
    return take({}, true, out);
}

bool Encoder::take(std::string_view piece, bool final, std::string &out)
{
    if (result.error != Error::None)
        return false;
    if (!state->started) {
        out.append(kHead);
        state->started = true;
    }
    state->pieces.feed(piece, final,
        [&](std::string_view part, bool last) { return state->take(part, last, out); });
    return result.error == Error::None;
}

std::size_t Encoder::State::take(std::string_view part, bool final, std::string &out)
{
    if (result.error != Error::None)
        return 0;
    bytes.clear();
    foreign.clear();
    const std::uint64_t start = reader.consumed();
    std::size_t used = 0;
    const std::optional<std::uint64_t> invalidAt = reader.read(part, final, bytes, foreign, used);

    std::size_t nextForeign = 0;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const char byte = bytes[k];
        const bool joinsBreak = carriageReturn;
        carriageReturn = false;
        if (byte == '\r') {
            out.append("\r\n");
            carriageReturn = true;
            continue;
        }
        if (byte == '\n') {
            if (!joinsBreak)
                out.append("\r\n");
            continue;
        }
        if (static_cast<unsigned char>(byte) != codec::kForeign) {
            out.push_back(byte);
            continue;
        }
        const char32_t c = foreign[nextForeign++];
        if (c == codec::kForeign) {
            out.push_back(byte);
        } else if (c == kParagraphSeparator) {
            out.append("\r\n");
        } else if (c == kByteOrderMark && options.dropByteOrderMark && start == 0 && k == 0) {
            // A file's byte-order mark says how it is encoded; it is no character.
        } else if (options.lossy) {
            out.push_back('?');
            ++result.replaced;
        } else {
            // Each character gave one byte: the k-th byte's character is the k-th
            // that starts in the part.
            std::size_t at = 0;
            for (std::size_t starts = 0;; ++at) {
                if (!utf8::isContinuation(static_cast<unsigned char>(part[at])) && starts++ == k)
                    break;
            }
            result = {Error::NoEightBitCode, start + at, c, result.replaced};
            return 0;
        }
    }
    if (invalidAt) {
        result.error = Error::InvalidUtf8;
        result.errorOffset = *invalidAt;
        return 0;
    }
    return used;
}

std::u32string unencodable(std::string_view utf8)
{
    std::string bytes;
    std::u32string foreign;
    std::size_t used = 0;
    utf8::Reader().read(utf8, true, bytes, foreign, used);
    std::u32string seen;
    for (const char32_t c : foreign)
        if (c != codec::kForeign && c != kParagraphSeparator
            && seen.find(c) == std::u32string::npos)
            seen.push_back(c);
    return seen;
}

Text toText(std::string_view bytes)
{
    Text text;
    text.kind = classify(bytes);
    switch (text.kind) {
    case Kind::Saved:
    case Kind::EightBit: {
        Decoder decoder;
        decoder.decode(bytes, text.utf8);
        decoder.finish(text.utf8);
        break;
    }
    case Kind::Utf8:
        if (bytes.starts_with(utf8::kByteOrderMark))
            bytes.remove_prefix(utf8::kByteOrderMark.size());
        text.utf8.assign(bytes);
        break;
    case Kind::Utf16:
        text.utf8 = utf16ToUtf8(bytes);
        break;
    case Kind::Binary:
        break;
    }
    return text;
}

} // namespace vesnor::textfile
