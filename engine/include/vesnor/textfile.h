#pragma once

// Text files in and out of the program. The composer's Save writes 8-bit text behind
// a fixed header line; years of such files exist and no tool of today reads them.
// This module is the one place that knows that format: it tells what a file holds,
// turns a saved or other 8-bit file into UTF-8, and turns UTF-8 into exactly the bytes
// Save writes. The window and vesnor-convert both go through it, so they recognise the
// same files. It reads and writes no file itself: callers hand it bytes, in pieces when
// the file is large.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vesnor::textfile {

// The whole head of a saved file, and Save's first line alone (it ends in a space).
inline constexpr std::string_view kHead
    = "To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n";
inline constexpr std::string_view kHeader = kHead.substr(0, kHead.size() - 4);

// Save's names for its file: the name, then behind one "new " more for each name of
// the series already taken. vesnor-convert names what it writes beside a file so too.
std::string nameInSeries(std::string_view name, std::size_t taken);

enum class Kind {
    Saved, // written by Save: the head, then 8-bit text
    EightBit, // 8-bit text without the head, told apart by not being valid UTF-8
    Utf8, // UTF-8, plain ASCII included, with or without a byte-order mark
    Utf16, // UTF-16 behind its byte-order mark, as Windows' "Unicode" text
    Binary, // NUL bytes, and neither the head nor a UTF-16 mark: not text
};

// Tells what a file holds from all its bytes, given in pieces.
class Sniffer {
public:
    Sniffer();
    ~Sniffer();
    void feed(std::string_view piece);
    Kind kind() const;
    bool asciiOnly() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

Kind classify(std::string_view bytes);

// 8-bit text to UTF-8 through the codec, without transliteration. A saved file's
// head is dropped unless asked to keep it, and CR LF line breaks become LF, the form
// text takes in UTF-8 tools; a lone CR stays as it is.
class Decoder {
public:
    explicit Decoder(bool keepHead = false);
    void decode(std::string_view piece, std::string &out);
    void finish(std::string &out);

private:
    void body(std::string_view bytes, std::string &out);

    const bool keepHead;
    std::string head; // the first bytes, until it is known whether they are the head
    bool headDone = false;
    bool carriageReturn = false; // a CR that a LF may still join
};

struct EncodeOptions {
    bool lossy = false; // a character without an 8-bit code becomes "?" instead of stopping
    bool dropByteOrderMark = false; // a file's leading U+FEFF is no text
};

// UTF-8 to the bytes Save writes for the same text in the output box: the head, then
// 8-bit text with every line break (LF, CR LF, a lone CR, U+2029) as CR LF.
class Encoder {
public:
    explicit Encoder(EncodeOptions options = {});
    ~Encoder();

    enum class Error { None, InvalidUtf8, NoEightBitCode };

    // Appends the next piece's bytes. False at the first error: out then ends with
    // everything before it, and later calls add nothing.
    bool encode(std::string_view piece, std::string &out);
    bool finish(std::string &out);

    struct Report {
        Error error = Error::None;
        std::uint64_t errorOffset = 0; // in the whole UTF-8 input
        char32_t unencodable = 0; // with NoEightBitCode
        std::uint64_t replaced = 0; // with lossy
    };
    const Report &report() const { return result; }

private:
    bool take(std::string_view piece, bool final, std::string &out);

    Report result;
    struct State;
    std::unique_ptr<State> state;
};

// The distinct characters of UTF-8 text that Save's file cannot hold, in the order
// they first appear: what lossy encoding writes as "?". Line breaks are none of them.
std::u32string unencodable(std::string_view utf8);

// A whole file as UTF-8 text for the input box: saved and other 8-bit files decoded
// with their head dropped, UTF-16 turned into UTF-8, a byte-order mark dropped.
// Binary files come back with their kind and no text.
struct Text {
    Kind kind = Kind::Binary;
    std::string utf8;
};
Text toText(std::string_view bytes);

} // namespace vesnor::textfile
