#pragma once

// The two auxiliary windows animate while they are the window most recently
// activated of the two. A window only knows how to restart and step its own
// animation; AnimationCoordinator decides which one runs. Steps come from an
// event-loop timer, so an animation costs a wake-up per step and nothing in between.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

class AnimatedWindow : public QWidget {
    Q_OBJECT

public:
    // Shows the window, restored if it was minimised, in front and active, as the
    // About and Help commands do.
    void present();

    bool isAnimating() const { return timer.isActive(); }

    // One step of the animation, as the timer takes it.
    void step();
    void setStepInterval(int milliseconds) { timer.setInterval(milliseconds); }

    // The coordinator's side: start from the beginning, or stop where it stands.
    void restart();
    void stop();

signals:
    void presented(); // by the About or Help command
    void activated(); // the window became the active window
    void stepped();

protected:
    AnimatedWindow(int intervalMs, QWidget *parent = nullptr);

    virtual void restartAnimation() = 0;
    virtual void stepAnimation() = 0;

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QTimer timer;
    bool running = false; // the most recently activated one, shown or hidden
};

// Keeps "only the most recently activated auxiliary window animates": an
// activation from another window of the program (or by the About and Help
// commands) restarts that window's animation and stops the other. Coming back to
// the window from another program is no such activation, and changes nothing.
class AnimationCoordinator : public QObject {
    Q_OBJECT

public:
    explicit AnimationCoordinator(QObject *parent = nullptr);

    void add(AnimatedWindow *window);

private:
    void run(AnimatedWindow *window);
    bool cameFromAnotherProgram(const AnimatedWindow *window) const;

    QList<QPointer<AnimatedWindow>> windows;
    // The focus window before the latest change, and after it.
    QPointer<QWindow> previousFocus;
    QPointer<QWindow> currentFocus;
};
