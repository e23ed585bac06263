#include "eightbittext.h"

namespace vesnor::eightbit {

codec::EightBitText fromBox(const QString &text)
{
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return codec::encode(crlf.toStdU32String());
}

QString toBox(const std::string &bytes, std::u32string_view foreign)
{
    QString text = QString::fromStdU32String(codec::decode(bytes, foreign));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

} // namespace vesnor::eightbit
