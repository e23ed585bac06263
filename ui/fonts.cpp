#include "fonts.h"

#include <QStringList>

QFont armenianFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Armenian"), QStringLiteral("Noto Sans Armenian"),
        QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    return font;
}
