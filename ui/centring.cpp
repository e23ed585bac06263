#include "centring.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

CentreOnFirstShow::CentreOnFirstShow(QWidget *window)
    : QObject(window)
    , window(window)
{
    window->installEventFilter(this);
}

void CentreOnFirstShow::centre()
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

bool CentreOnFirstShow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || state == State::Done)
        return false;
    if (event->type() == QEvent::Show && state == State::NotShown) {
        centre();
        state = State::AwaitingFrame;
    }
    // The frame comes with no event of its own; the window's next events (its
    // activation, its first paint) show whether it is there yet. A window that
    // moves by itself meanwhile has been placed by someone else.
    if (state == State::AwaitingFrame && window->frameGeometry() != window->geometry()) {
        state = State::Done;
        centre();
    }
    return false;
}
