#pragma once

// The engine turns Latin transliteration into Armenian 8-bit text and back. Text
// flows in as 8-bit bytes (see codec.h for the way to and from Unicode), is walked
// left to right token by token against the three table strings, and comes out as a
// new 8-bit string. Transliterator is the one-shot form the composer window uses
// (source in `a`, result appended to `b`); StreamConverter feeds the same walk a
// chunk at a time for the command-line converter. Neither depends on Qt.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vesnor {

enum class Direction { EngArm, ArmEng };

// What a walk writes: the 8-bit text, or that text already as UTF-8 (where the
// originals of kForeign bytes still have to be put back, see codec.h).
enum class Output { EightBit, Utf8 };

class Lookup;

// A walk over part of a text. `prev` is the source byte before src[0]; the start of a
// text counts as if a space stood before it, since both make a word start. Unless
// `final`, the walk stops before a last byte that could still pair with the next
// chunk. The result is appended to out.
struct SpanResult {
    std::size_t consumed = 0; // bytes of src converted
    std::size_t lastTokenStart = 0; // where the last step began, once `final` is given
};
SpanResult convertSpan(const Lookup &lookup, Direction direction, std::string_view src,
    unsigned char prev, bool final, std::string &out);

// Answers the table searches in constant time. Built from the three strings it is
// given; every answer is what a first-occurrence substring search would find.
std::shared_ptr<const Lookup> buildLookup(
    std::string_view armenian, std::string_view latin, std::string_view kinds, Output output);

class Transliterator {
public:
    Transliterator();

    // Assigns the table strings (Armenian side, Latin side, kinds) and rebuilds the
    // lookups from them.
    void Load();

    // Convert `a`, appending to `b`, which the caller empties first.
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

    std::shared_ptr<const Lookup> lookup;
};

// Converts a text that arrives in pieces exactly as if it had come in one piece.
class StreamConverter {
public:
    explicit StreamConverter(Direction direction, Output output = Output::EightBit);

    // Converts what `pending` holds, appending to out, and leaves in `pending` only
    // the byte that must wait for the next chunk (at most one). With `final` set,
    // everything is converted.
    void convert(std::string &pending, bool final, std::string &out);

private:
    const Direction direction;
    std::shared_ptr<const Lookup> lookup;
    unsigned char prev = ' ';
};

} // namespace vesnor
