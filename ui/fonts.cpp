#include "fonts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

QFont armenianFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial Armenian"), QStringLiteral("Noto Sans Armenian"),
        QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    return font;
}

void shrinkToFit(QLabel *label, qreal smallestPointSize)
{
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width()
        && font.pointSizeF() - 0.25 >= smallestPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}
