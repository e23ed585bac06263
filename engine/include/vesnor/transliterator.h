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

// The two forms text takes in and out of the engine.
enum class Encoding { Utf8, EightBit };

// Converts a text that arrives in pieces exactly as if it had come in one piece,
// holding back at most a few bytes between pieces. In UTF-8 the characters that the
// 8-bit text cannot hold come through unchanged and in place, and a byte-order mark
// that opens the text is dropped: it tells how a file is written, and is no text.
class StreamConverter {
public:
    explicit StreamConverter(Direction direction, Encoding encoding = Encoding::Utf8);
    ~StreamConverter();

    // Appends the conversion of the next piece to out. False once the input is found
    // not to be valid UTF-8: out then ends with the conversion of everything before
    // the first invalid byte, whose offset in the whole input is errorOffset(), and
    // later calls convert nothing.
    bool convert(std::string_view piece, std::string &out);

    // The input has ended: converts what was held back.
    bool finish(std::string &out);

    std::uint64_t errorOffset() const;

private:
    struct State;
    std::unique_ptr<State> state;
};

class Transliterator {
public:
    Transliterator();

    // Assigns the table strings: Armenian side, Latin side, kinds.
    void Load();

    // Convert `a` as convert() does, appending to `b`, which the caller empties first;
    // `tar` is left holding the last token examined.
    void ConvertEngArm();
    void ConvertArmEng();

    std::string a;
    std::string b;
    std::string tar;
    std::string aetext1;
    std::string aetext2;
    std::string aetext3;
};

} // namespace vesnor
