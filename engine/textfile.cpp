#include "textfile.h"

#include "codec.h"
#include "utf8.h"

#include <algorithm>

namespace vesnor::textfile {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
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
        codec::appendUtf8(c, out);
    }
    return out;
}

} // namespace

bool startsWithHead(std::string_view bytes)
{
    return bytes.substr(0, kHead.size()) == kHead;
}

namespace detail {

std::optional<std::uint64_t> Utf8Pieces::read(std::string_view piece, bool final)
{
    // Only a cut sequence is held, so the piece is copied only when one waits.
    start += input.size() - held.size();
    input = piece;
    if (!held.empty()) {
        joined = held;
        joined.append(piece);
        input = joined;
    }
    bytes.clear();
    foreign.clear();
    codec::Utf8Reader reader(start);
    std::size_t used = 0;
    const std::optional<std::uint64_t> invalid = reader.read(input, final, bytes, foreign, used);
    held.assign(input.substr(used));
    return invalid;
}

} // namespace detail

void Sniffer::feed(std::string_view piece)
{
    if (head.size() < kHead.size())
        head.append(piece.substr(0, kHead.size() - head.size()));
    size += piece.size();
    for (const char ch : piece) {
        nul |= ch == '\0';
        high |= static_cast<unsigned char>(ch) >= 0x80;
    }
    if (!invalid)
        invalid = utf8.read(piece, false).has_value();
}

Kind Sniffer::kind() const
{
    if (hasUtf16Mark(head, size))
        return Kind::Utf16;
    // Only Save writes the head, and its box may have held any character, U+0000 too.
    if (startsWithHead(head))
        return Kind::Saved;
    if (nul)
        return Kind::Binary;
    if (invalid || utf8.holdsUnfinished())
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

Encoder::Encoder(EncodeOptions options)
    : options(options)
{
}

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
    if (failure != Error::None)
        return false;
    if (!started) {
        out.append(kHead);
        started = true;
    }
    const std::optional<std::uint64_t> invalidAt = utf8.read(piece, final);
    const std::string &bytes = utf8.bytes;

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
        const char32_t c = utf8.foreign[nextForeign++];
        if (c == codec::kForeign) {
            out.push_back(byte);
        } else if (c == kParagraphSeparator) {
            out.append("\r\n");
        } else if (c == kByteOrderMark && options.dropByteOrderMark && utf8.start == 0 && k == 0) {
            // A file's byte-order mark says how it is encoded; it is no character.
        } else if (options.lossy) {
            out.push_back('?');
            ++questionMarks;
        } else {
            // Each character gave one byte: the k-th byte's character is the k-th
            // that starts in the input.
            std::size_t at = 0;
            for (std::size_t starts = 0;; ++at) {
                if ((static_cast<unsigned char>(utf8.input[at]) & 0xC0) != 0x80 && starts++ == k)
                    break;
            }
            failure = Error::NoEightBitCode;
            offset = utf8.start + at;
            missing = c;
            return false;
        }
    }
    if (invalidAt) {
        failure = Error::InvalidUtf8;
        offset = *invalidAt;
        return false;
    }
    return true;
}

std::u32string unencodable(std::string_view utf8)
{
    detail::Utf8Pieces text;
    text.read(utf8, true);
    std::u32string seen;
    for (const char32_t c : text.foreign)
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
        if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
            bytes.remove_prefix(kUtf8Mark.size());
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
