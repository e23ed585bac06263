#include "animatedwindow.h"

#include "ui/centring.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QWindow>

AnimatedWindow::AnimatedWindow(int intervalMs, QWidget *parent)
    : QWidget(parent,
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    // No icon of their own: an empty picture, since no icon at all would mean the
    // application's.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    // Each step waits its whole interval after the one before: a coarse timer may
    // fire early, and a repeating one catches up after a late step.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    timer.setInterval(intervalMs);
    connect(&timer, &QTimer::timeout, this, [this] {
        step();
        if (running && isVisible())
            timer.start();
    });
    new CentreOnFirstShow(this);
}

void AnimatedWindow::present()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    emit presented();
}

void AnimatedWindow::step()
{
    stepAnimation();
    emit stepped();
}

void AnimatedWindow::restart()
{
    running = true;
    restartAnimation();
    if (isVisible())
        timer.start();
}

void AnimatedWindow::stop()
{
    running = false;
    timer.stop();
}

bool AnimatedWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        emit activated();
    return QWidget::event(event);
}

// A hidden window's animation changes nothing anyone can see: it rests until the
// window is shown again, and then goes on where it was if it is still the running one.
void AnimatedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (running && !timer.isActive())
        timer.start();
}

void AnimatedWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    timer.stop();
}

AnimationCoordinator::AnimationCoordinator(QObject *parent)
    : QObject(parent)
    , currentFocus(QGuiApplication::focusWindow())
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *window) {
        previousFocus = currentFocus;
        currentFocus = window;
    });
}

void AnimationCoordinator::add(AnimatedWindow *window)
{
    windows.append(window);
    connect(window, &AnimatedWindow::presented, this, [this, window] { run(window); });
    connect(window, &AnimatedWindow::activated, this, [this, window] {
        if (!cameFromAnotherProgram(window))
            run(window);
    });
}

// Whether the window's activation is reported before or after the focus change,
// the window the user came from is the focus window before this one.
bool AnimationCoordinator::cameFromAnotherProgram(const AnimatedWindow *window) const
{
    const bool focusChangeSeen = currentFocus && currentFocus == window->windowHandle();
    return (focusChangeSeen ? previousFocus : currentFocus) == nullptr;
}

void AnimationCoordinator::run(AnimatedWindow *window)
{
    for (AnimatedWindow *other : std::as_const(windows)) {
        if (other && other != window)
            other->stop();
    }
    window->restart();
}
