#include "vesnor/codec.h"

namespace vesnor::codec {

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
