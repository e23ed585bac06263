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
    switch (event->type()) {
    case QEvent::Show:
        if (state == State::NotShown) {
            centre();
            const bool frameKnown = window->frameGeometry() != window->geometry();
            state = frameKnown ? State::Done : State::AwaitingFrame;
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // The frame has arrived: the window moved by it, or its outer size grew.
        if (state == State::AwaitingFrame && window->frameGeometry() != window->geometry()) {
            state = State::Done;
            centre();
        }
        break;
    default:
        break;
    }
    return false;
}
