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
    if (watched == window && event->type() == QEvent::Show && state == State::NotShown) {
        // The frame may not be known yet; the frame's corner is asked for all the
        // same, so that the window manager, not a guess, puts the frame there.
            window->move(target());
        state = State::Settling;
        QTimer::singleShot(kCheckMs, this, &CentreOnFirstShow::settle);
    }
    return false;
}

// The frame arrives with no event of its own, and the window manager answers a
// move with events that take a moment: the place is checked a few times a second
// until the frame has sat centred four times in a row, for two seconds at most, after
// which the place is the user's.
void CentreOnFirstShow::settle()
{
    if (state != State::Settling)
        return;
    const bool framed = window->frameGeometry() != window->geometry();
    const QPoint corner = target();
    if (framed && window->frameGeometry().topLeft() == corner) {
        if (++stableChecks >= 4)
            state = State::Done;
    } else {
        stableChecks = 0;
        if (framed)
            window->move(corner);
    }
    if (state == State::Settling && ++checks < kMaxChecks)
        QTimer::singleShot(kCheckMs, this, &CentreOnFirstShow::settle);
    else
        state = State::Done;
}
