#include "fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
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

bool warnIfNoArmenianFont(QWidget *parent)
{
    if (!QFontDatabase::families(QFontDatabase::Armenian).isEmpty())
        return false;
    QMessageBox::warning(parent, QStringLiteral("No Armenian font"),
        QStringLiteral("No font with Armenian letters is installed, so Armenian text shows "
                       "as blank space: in the output box, the direction buttons and the "
                       "chart.\n\nInstall one and start the program again. On Debian and "
                       "Ubuntu: sudo apt install fonts-dejavu-core. Elsewhere, DejaVu Sans or "
                       "Noto Sans Armenian will do."));
    return true;
}
