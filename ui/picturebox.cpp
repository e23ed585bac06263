#include "picturebox.h"

#include <QPainter>

PictureBox::PictureBox(const char *name, int frameStyle, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QLatin1String(name));
    setFrameStyle(frameStyle);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// Drawn here rather than by the style, which may show focus marks only after
// keyboard use: the window opens with the focus on this box.
void PictureBox::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(contentsRect().adjusted(1, 1, -2, -2));
}
