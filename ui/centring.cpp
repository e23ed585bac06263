#include "centring.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

CentreOnFirstShow::CentreOnFirstShow(QWidget *window)
    : QObject(window)
    , window(window)
{
    window->installEventFilter(this);
}

// Where the frame's top-left corner goes. It depends only on the window's size
// and its frame, never on where the window is now, so asking again changes nothing.
QPoint CentreOnFirstShow::target() const
{
    const QScreen *screen = window->screen();
    const QWindow *handle = window->windowHandle();
    if (!screen || !handle)
        return window->pos();
    const QMargins margins = handle->frameMargins();
    QRect frame(QPoint(), window->size().grownBy(margins));
    frame.moveCenter(screen->availableGeometry().center());
    return frame.topLeft();
}

bool CentreOnFirstShow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || state == State::Done)
        return false;
    if (event->type() == QEvent::Show && state == State::NotShown) {
        // The frame may not be known yet; the frame's corner is asked for all the
        // same, so that the window manager, not a guess, puts the frame there.
        window->move(target());
        state = State::AwaitingFrame;
        return false;
    }
    if (state != State::AwaitingFrame || window->frameGeometry() == window->geometry())
        return false;
    state = State::Settling;
    settle();
    return false;
}

// The window manager answers a move with events of its own; a short wait lets
// them arrive before the place is checked again, a few times at most, after
// which the place is the user's.
void CentreOnFirstShow::settle()
{
    const QPoint corner = target();
    if (window->frameGeometry().topLeft() != corner)
        window->move(corner);
    if (++moves < 4)
        QTimer::singleShot(50, this, &CentreOnFirstShow::settle);
    else
        state = State::Done;
}
