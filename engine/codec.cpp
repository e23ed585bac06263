#include "vesnor/codec.h"

namespace vesnor::codec {

EightBitText encode(std::u32string_view text)
{
    EightBitText result;
    result.bytes.reserve(text.size());
    for (const char32_t c : text) {
        // U+001A itself is set aside too, so that entries and kForeign bytes stay
        // paired one to one.
        const std::optional<unsigned char> byte = fromUnicode(c);
        if (byte && *byte != kForeign) {
            result.bytes.push_back(static_cast<char>(*byte));
        } else {
            result.bytes.push_back(static_cast<char>(kForeign));
            result.foreign.push_back(c);
        }
    }
    return result;
}

std::u32string decode(std::string_view bytes, std::u32string_view foreign)
{
    std::u32string text;
    text.reserve(bytes.size());
    std::size_t next = 0;
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == kForeign && next < foreign.size())
            text.push_back(foreign[next++]);
        else
            text.push_back(kToUnicode[byte]);
    }
    return text;
}

} // namespace vesnor::codec
