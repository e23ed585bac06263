#pragma once

// The engine turns Latin transliteration into Armenian 8-bit text and back. Text
// flows in as 8-bit bytes (codec.h maps them to and from Unicode) or as UTF-8, is
// walked left to right token by token against the three table strings, and comes
// out as a new string. convert() does a whole 8-bit text; StreamConverter does a
// text that arrives in pieces; Transliterator is the composer window's named form
// (source in `a`, result appended to `b`). None of them depends on Qt.
//
// A word starts at the start of a text and after white space (space, tab, line
// feed, carriage return, no-break space), so a line's first word converts like any
// other; after punctuation it does not.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vesnor {

enum class Direction { EngArm, ArmEng };

// The processor-specific code the conversions run on: "portable", "avx2" or
// "avx512". The best this processor has, unless the environment variable
// VESNOR_KERNEL names another one it has.
std::string_view kernelName();

// The conversion of a whole 8-bit text.
std::string convert(Direction direction, std::string_view text);

enum class Encoding { Utf8, EightBit };

// Converts a text that arrives in pieces exactly as if it had come in one piece,
// holding back at most a few bytes between pieces. In UTF-8 the characters that the
// 8-bit text cannot hold come through unchanged and in place.
class StreamConverter {
public:
    explicit StreamConverter(Direction direction, Encoding encoding = Encoding::Utf8);

    // Appends the conversion of the next piece to out. False once the input is found
    // not to be valid UTF-8: out then ends with the conversion of everything before
    // the first invalid byte, whose offset in the whole input is errorOffset(), and
    // later calls convert nothing.
    bool convert(std::string_view piece, std::string &out);

    // The input has ended: converts what was held back.
    bool finish(std::string &out);

    std::uint64_t errorOffset() const { return offset; }

private:
    bool take(std::string_view piece, bool final, std::string &out);
    bool takeEightBit(std::string_view piece, bool final, std::string &out);
    // Reads UTF-8 into `into`, bytes or where a pointer points, returning how much of
    // it was used.
    template<typename Into> std::size_t readUtf8(std::string_view text, bool final, Into &into);

    const Direction direction;
    const Encoding encoding;
    std::string raw; // UTF-8 not yet read: an unfinished sequence
    std::string bytes; // 8-bit text not yet walked: a byte that may start a pair
    // Where a piece is read into 8-bit text behind those bytes: it is written before it
    // is read, so it grows without being filled first.
    std::unique_ptr<char[]> buffer;
    std::size_t bufferSize = 0;
    std::u32string foreign; // originals of the kForeign bytes not yet written
    unsigned char previous;
    std::uint64_t read = 0; // UTF-8 bytes taken from the input
    std::uint64_t offset = 0;
    bool failed = false;
};

class Transliterator {
public:
    Transliterator();

    // Assigns the table strings: Armenian side, Latin side, kinds.
    void Load();

    // Convert `a`, appending to `b`, which the caller empties first; `tar` is left
    // holding the last token examined.
    void ConvertEngArm();
    void ConvertArmEng();

    std::string a;
    std::string b;
    std::string tar;
    std::string aetext1;
    std::string aetext2;
    std::string aetext3;

private:
    void convert(Direction direction);
};

} // namespace vesnor
