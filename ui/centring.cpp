#include "centring.h"

#include "frameextents.h"

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

QPoint centredPosition(const QSize &inner, const QMargins &frame, const QRect &available)
{
    QRect outer(QPoint(), inner.grownBy(frame));
    outer.moveCenter(available.center());
    // A title bar off the screen cannot even be grabbed to move the window: a window
    // larger than the screen keeps its top left corner, title bar and all, on it.
    if (outer.top() < available.top())
        outer.moveTop(available.top());
    if (outer.left() < available.left())
        outer.moveLeft(available.left());
    return outer.topLeft() + QPoint(frame.left(), frame.top());
}

// It depends only on the window's size and frame, never on where the window is now.
QPoint CentreOnFirstShow::target(const QMargins &frame) const
{
    const QScreen *screen = window->screen();
    if (!screen)
        return window->pos();
    return centredPosition(window->size(), frame, screen->availableGeometry());
}

bool CentreOnFirstShow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Show && state == State::NotShown) {
        // Where the frame is known before the window is shown, this is the last
        // word; elsewhere the window manager adds the frame afterwards.
        if (QWindow *handle = window->windowHandle())
            handle->setPosition(target(frameExtents(handle).value_or(QMargins())));
        state = State::Settling;
        QTimer::singleShot(kCheckMs, this, &CentreOnFirstShow::settle);
    }
    return false;
}

// The frame arrives with no event of its own, and the window manager answers a
// move with events that take a moment: the place is checked a few times a second
// until the frame has sat centred twice in a row, for two seconds at most, after
// which the place is the user's. The inner area is placed, not the frame, so that
// nothing depends on how the toolkit counts a frame it may not know yet.
void CentreOnFirstShow::settle()
{
    QWindow *handle = window->windowHandle();
    if (state != State::Settling || !handle)
        return;
    if (const auto frame = frameExtents(handle)) {
        const QPoint inner = target(*frame);
        if (handle->position() == inner) {
            if (++stableChecks >= 2)
                state = State::Done;
        } else {
            stableChecks = 0;
            handle->setPosition(inner);
        }
    }
    if (state == State::Settling && ++checks < kMaxChecks)
        QTimer::singleShot(kCheckMs, this, &CentreOnFirstShow::settle);
    else
        state = State::Done;
}
