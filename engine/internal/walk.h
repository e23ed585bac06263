#pragma once

#include "inside.h"

// Inside the engine: the walk that both conversions share. Every decision of a step
// depends only on whether it stands at a word start, on its byte and on the next
// one, so every step can be looked up: many positions at once by the kernel's
// vector walk, or one at a time by the table walk, whose table of finished steps
// per direction is built when a text first needs it.

#include "kernels.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnor::detail {

// White space starts a word: the space, tab, line feed, carriage return and the
// no-break space (A0 in the 8-bit text).
constexpr bool startsWord(unsigned char previous)
{
    switch (previous) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case 0xA0:
        return true;
    default:
        return false;
    }
}

// The start of a text counts as if white space stood before it.
inline constexpr unsigned char kTextStart = ' ';

// Fastest takes the kernel's vector walk where it has one. Without one, it takes
// the table walk, except for a short text while the table walk's tables are not yet
// built: that text is walked from the rules. Table always takes the table walk and
// Short always the rules; tests hold them all to each other.
enum class Method { Fastest, Table, Short };

// Walks src, whose preceding byte was `previous`, appending the result to out as
// 8-bit text or as UTF-8; returns how many bytes of src it converted. Unless `final`,
// it stops before a last byte that could still pair with the next piece of the text.
// In UTF-8, the originals given take the places of the text's kForeign bytes.
std::size_t walk(Direction direction, Encoding output, std::string_view src, unsigned char previous,
    bool final, std::string &out, Method method = Method::Fastest, Originals *originals = nullptr);

// Where the last step of the walk over a whole text begins, found from the text's
// end: the step before a byte that no step pairs it with has ended there.
std::size_t lastStepStart(Direction direction, std::string_view text);

} // namespace vesnor::detail
