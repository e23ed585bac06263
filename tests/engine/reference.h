#pragma once

// The conversions exactly as they are described, step by step, with a plain
// substring search per token and 1-based positions. Slow on purpose: it is the
// yardstick the engine's precomputed lookups are checked and timed against.

#include "vesnor/codec.h"
#include "vesnor/transliterator.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnor::reference {

struct Tables {
    std::string aetext1;
    std::string aetext2;
    std::string aetext3;
};

Tables standardTables();

// First occurrence of token in side, 1-based; 0 when absent.
std::size_t position(std::string_view side, std::string_view token);

// `last`, where given and empty, is left holding the last token examined: from where
// the last step began to the end.
std::string ConvertEngArm(const Tables &t, const std::string &a, std::string *last = nullptr);
std::string ConvertArmEng(const Tables &t, const std::string &a, std::string *last = nullptr);

// What the tests share: a direction from a test row's flag, the yardstick's
// conversion of a whole 8-bit text, and a text in UTF-8.
Direction direction(bool engArm);
std::string slow(Direction direction, const std::string &text, std::string *last = nullptr);
std::string utf8(std::u32string_view text);
// The 8-bit text of a text: each character's byte, or kForeign with the character set
// aside (U+001A too).
codec::EightBitText encode(std::u32string_view text);

} // namespace vesnor::reference
