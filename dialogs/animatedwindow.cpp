#include "animatedwindow.h"

#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

AnimatedWindow *AnimatedWindow::current = nullptr;

AnimatedWindow::AnimatedWindow(int intervalMs, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    // No icon of their own: an empty picture, since no icon at all would mean the
    // application's.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    timer.setInterval(intervalMs);
    connect(&timer, &QTimer::timeout, this, &AnimatedWindow::stepAnimation);
}

AnimatedWindow::~AnimatedWindow()
{
    if (current == this)
        current = nullptr;
}

void AnimatedWindow::present()
{
    if (!placed) {
        // Centred on the screen the first time; after that where the user left it.
        if (const QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        placed = true;
    }
    show();
    raise();
    activateWindow();
}

bool AnimatedWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        becomeCurrent();
    return QWidget::event(event);
}

void AnimatedWindow::becomeCurrent()
{
    if (current && current != this)
        current->timer.stop();
    current = this;
    restartAnimation();
    timer.start();
}

// A hidden window's animation changes nothing anyone can see: it rests until the
// window is shown again, and then goes on where it was if it is still the current one.
void AnimatedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (current == this && !timer.isActive())
        timer.start();
}

void AnimatedWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    timer.stop();
}
