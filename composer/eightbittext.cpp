#include "eightbittext.h"

namespace vesnor::eightbit {

// One pass over the box's UTF-16, and one back: a megabyte of text goes through
// Convert in a few milliseconds, where each detour through UTF-32 or a search and
// replace for the line breaks cost as much again.
codec::EightBitText fromBox(QStringView text)
{
    codec::EightBitText out;
    out.bytes.resize(std::size_t(text.size()) * 2);
    char *o = out.bytes.data();
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = s[i];
        if (unit == u'\n' || unit == QChar::ParagraphSeparator) {
            *o++ = '\r';
            *o++ = '\n';
            continue;
        }
        char32_t c = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            c = QChar::surrogateToUcs4(unit, s[++i]);
        const std::optional<unsigned char> byte = codec::fromUnicode(c);
        if (byte && *byte != codec::kForeign) {
            *o++ = static_cast<char>(*byte);
        } else {
            // U+001A itself rides along too, so that placeholders and originals
            // stay paired one to one.
            *o++ = static_cast<char>(codec::kForeign);
            out.foreign.push_back(c);
        }
    }
    out.bytes.resize(std::size_t(o - out.bytes.data()));
    return out;
}

QString toBox(const std::string &bytes, std::u32string_view foreign)
{
    QString text(qsizetype(bytes.size() + foreign.size()), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(text.data());
    const std::size_t n = bytes.size();
    std::size_t next = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const auto byte = static_cast<unsigned char>(bytes[k]);
        if (byte == '\r' && k + 1 < n && bytes[k + 1] == '\n') {
            *o++ = u'\n';
            ++k;
        } else if (byte == codec::kForeign && next < foreign.size()) {
            const char32_t c = foreign[next++];
            if (QChar::requiresSurrogates(c)) {
                *o++ = QChar::highSurrogate(c);
                *o++ = QChar::lowSurrogate(c);
            } else {
                *o++ = static_cast<char16_t>(c);
            }
        } else {
            // Every byte's character lies below U+0800: one UTF-16 unit each.
            *o++ = static_cast<char16_t>(codec::toUnicode(byte));
        }
    }
    text.truncate(o - reinterpret_cast<char16_t *>(text.data()));
    return text;
}

} // namespace vesnor::eightbit
