#include "form3.h"

#include "chart.h"

#include "ui/fonts.h"
#include "ui/picturebox.h"
#include "ui/twips.h"
#include "vesnor/chart.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

QString rowText(const chart::Row &row)
{
    return row.letter + QStringLiteral(" , ") + row.key;
}

// Capitals about 14 pixels high, as large as the face at hand allows while no
// glyph reaches a glyph of the next row: Armenian small letters rise above the
// capitals and drop below the line, and in a wide face they touched at 17 pixels
// apart. A pixel of room is kept at each end for the smoothing of the edges.
QFont chartFont(const QList<QList<chart::Row>> &columns, int rowStep)
{
    constexpr qreal kCapitalHeight = 14;
    QFont font = armenianFont(8.25);
    font.setPixelSize(24);
    const qreal capitalsPerPixel = QFontMetricsF(font).capHeight() / 24;
    int size = qRound(kCapitalHeight / capitalsPerPixel);
    for (; size > 6; --size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        qreal above = 0;
        qreal below = 0;
        for (const auto &column : columns) {
            for (const chart::Row &row : column) {
                const QRectF ink = metrics.tightBoundingRect(rowText(row));
                above = qMax(above, -ink.top());
                below = qMax(below, ink.bottom());
            }
        }
        if (qCeil(above) + qCeil(below) + 2 < rowStep)
            break;
    }
    font.setPixelSize(size);
    return font;
}

} // namespace

Form3::Form3(QWidget *parent)
    : AnimatedWindow(300, parent)
    , Picture1(new PictureBox("Picture1", QFrame::Box | QFrame::Plain, this))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(caption);
    setFixedSize(twips::toPixels(8625), twips::toPixels(9240));
    setFont(armenianFont(8.25));

    twips::place(Picture1, 1395, 465, 5355, 8715);
    Picture1->setLineWidth(1);
    Picture1->setAccessibleName(QStringLiteral("Transliteration chart"));
    drawChart();

    auto *Label1 = new QLabel(chart::unicode(vesnor::chart::kHeading), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    twips::place(Label1, 1350, 30, 5385, 360);
    // 14.25 points in Arial Armenian; a wider stand-in font is made smaller until
    // the heading fits its box.
    Label1->setFont(armenianFont(14.25));
    shrinkToFit(Label1);
    Label1->setAutoFillBackground(true);
    Label1->setAccessibleName(QStringLiteral("Heading"));

    Picture1->installEventFilter(this);
    Label1->installEventFilter(this);
}

void Form3::drawChart()
{
    const qreal ratio = devicePixelRatioF();
    const QPixmap current = Picture1->pixmap();
    if (!current.isNull() && qFuzzyCompare(current.devicePixelRatio(), ratio))
        return;
    Picture1->setPixmap(QPixmap::fromImage(chart(ratio)));
}

// The screen, and so its pixel density, is known for sure only once shown.
void Form3::showEvent(QShowEvent *event)
{
    AnimatedWindow::showEvent(event);
    drawChart();
}

QImage Form3::chart(qreal devicePixelRatio)
{
    constexpr int kWidth = 355;
    constexpr int kHeight = 579;
    constexpr int kRowStep = 17;
    constexpr int kColumnLeft[] = {76, 164, 256};
    constexpr int kFirstBaseline[] = {43, 29, 43};

    QImage image(
        qCeil(kWidth * devicePixelRatio), qCeil(kHeight * devicePixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(QColor(0xB3, 0xE5, 0xFF));
    QPainter painter(&image);
    // A sunken frame three pixels wide.
    for (int k = 0; k < 3; ++k) {
        painter.setPen(k < 2 ? QColor(0x9A, 0x9A, 0x9A) : QColor(0xE5, 0xE5, 0xE5));
        painter.drawLine(k, k, kWidth - 1 - k, k);
        painter.drawLine(k, k, k, kHeight - 1 - k);
        painter.setPen(Qt::white);
        painter.drawLine(k, kHeight - 1 - k, kWidth - 1 - k, kHeight - 1 - k);
        painter.drawLine(kWidth - 1 - k, k, kWidth - 1 - k, kHeight - 1 - k);
    }
    const auto columns = chart::columns();
    painter.setFont(chartFont(columns, kRowStep));
    painter.setPen(Qt::black);
    for (int c = 0; c < columns.size(); ++c) {
        for (int r = 0; r < columns[c].size(); ++r) {
            painter.drawText(
                kColumnLeft[c], kFirstBaseline[c] + r * kRowStep, rowText(columns[c][r]));
        }
    }
    return image;
}

void Form3::restartAnimation()
{
    // The title keeps its last text until the first step.
    caption = QStringLiteral("Coding");
}

void Form3::stepAnimation()
{
    if (caption.size() > 140)
        caption = QStringLiteral("Coding");
    caption.prepend(QStringLiteral("    "));
    setWindowTitle(caption);
}

// A click anywhere in the window puts it away.
void Form3::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    hide();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        hide();
        return true;
    }
    return AnimatedWindow::eventFilter(watched, event);
}
