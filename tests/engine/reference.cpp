#include "reference.h"

#include "tables.h"
#include "vesnor/codec.h"
#include "vesnor/utf8.h"

namespace vesnor::reference {

namespace {

// Characters p .. p+n-1 (1-based), or fewer where the string ends first.
std::string_view mid(std::string_view s, std::size_t p, std::size_t n)
{
    if (p < 1 || p > s.size())
        return {};
    return s.substr(p - 1, n);
}

int kind(const Tables &t, std::size_t p)
{
    return t.aetext3[p - 1] - '0';
}

// A word starts at the start of the text and after white space: space, tab, line
// feed, carriage return, no-break space.
bool wordStart(const std::string &a, std::size_t i)
{
    return i == 1 || std::string_view(" \t\n\r\xA0").find(a[i - 2]) != std::string_view::npos;
}

// The last token examined is the text from where the last step began.
void stepAt(std::string *last, const std::string &a, std::size_t i)
{
    if (last)
        last->assign(a, i - 1);
}

} // namespace

Tables standardTables()
{
    return {std::string(tables::kArmenianSide), std::string(tables::kLatinSide),
        std::string(tables::kKinds)};
}

std::size_t position(std::string_view side, std::string_view token)
{
    const std::size_t found = side.find(token);
    return found == std::string::npos ? 0 : found + 1;
}

std::string ConvertEngArm(const Tables &t, const std::string &a, std::string *last)
{
    std::string b;
    const std::size_t n = a.size();
    std::size_t i = 1;
    while (i <= n) {
        stepAt(last, a, i);
        const bool ws = wordStart(a, i);
        std::string_view tar = mid(a, i, 2);
        if ((tar == "VO" || tar == "Vo") && ws) {
            b += '\xE0';
            i += 2;
        } else if (tar == "vo" && ws) {
            b += '\xE1';
            i += 2;
        } else if ((tar == "YE" || tar == "Ye") && ws) {
            b += '\xBA';
            i += 2;
        } else if (tar == "ye" && ws) {
            b += '\xBB';
            i += 2;
        } else if (const std::size_t p = position(t.aetext2, tar); p != 0 && kind(t, p) == 2) {
            b += mid(t.aetext1, p, 1);
            i += 2;
        } else {
            tar = mid(a, i, 1);
            if (tar == "o" && ws) {
                b += '\xFB';
            } else if (tar == "O" && ws) {
                b += '\xFA';
            } else if (const std::size_t q = position(t.aetext2, tar); q == 0) {
                b += tar;
            } else {
                b += mid(t.aetext1, q, kind(t, q) == 0 ? 2 : 1);
            }
            i += 1;
        }
    }
    return b;
}

std::string ConvertArmEng(const Tables &t, const std::string &a, std::string *last)
{
    std::string b;
    const std::size_t n = a.size();
    std::size_t i = 1;
    while (i <= n) {
        stepAt(last, a, i);
        std::string_view tar = mid(a, i, 2);
        if (const std::size_t p = position(t.aetext1, tar); p != 0 && kind(t, p) == 2) {
            b += mid(t.aetext2, p, 2);
            i += 2;
            continue;
        } else if (p != 0 && kind(t, p) == 0) {
            b += mid(t.aetext2, p, 1);
            i += 2;
            continue;
        }
        tar = mid(a, i, 1);
        const bool ws = wordStart(a, i);
        if (tar == "\xE0" && ws) {
            b += "Vo";
        } else if (tar == "\xE1" && ws) {
            b += "vo";
        } else if (tar == "\xBA" && ws) {
            b += "Ye";
        } else if (tar == "\xBB" && ws) {
            b += "ye";
        } else if (const std::size_t q = position(t.aetext1, tar); q == 0) {
            b += tar;
        } else if (kind(t, q) == 2) {
            b += mid(t.aetext2, q, 2);
        } else {
            // Kind 1, and kind 0 (a lone second letter of "U"): the Latin letter at q.
            b += mid(t.aetext2, q, 1);
        }
        i += 1;
    }
    return b;
}

Direction direction(bool engArm)
{
    return engArm ? Direction::EngArm : Direction::ArmEng;
}

std::string slow(Direction direction, const std::string &text, std::string *last)
{
    static const Tables tables = standardTables();
    if (last)
        last->clear();
    return direction == Direction::EngArm ? ConvertEngArm(tables, text, last)
                                          : ConvertArmEng(tables, text, last);
}

codec::EightBitText encode(std::u32string_view text)
{
    codec::EightBitText result;
    result.bytes.reserve(text.size());
    for (const char32_t c : text) {
        // U+001A itself is set aside too, so that entries and kForeign bytes stay
        // paired one to one.
        const std::optional<unsigned char> byte = codec::fromUnicode(c);
        if (byte && *byte != codec::kForeign) {
            result.bytes.push_back(static_cast<char>(*byte));
        } else {
            result.bytes.push_back(static_cast<char>(codec::kForeign));
            result.foreign.push_back(c);
        }
    }
    return result;
}

std::string utf8(std::u32string_view text)
{
    std::string out;
    for (const char32_t c : text)
        vesnor::utf8::append(c, out);
    return out;
}

} // namespace vesnor::reference
