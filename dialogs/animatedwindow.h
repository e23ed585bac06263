#pragma once

// The two auxiliary windows animate while they are the window most recently
// activated of the two: every activation starts the window's animation from its
// beginning and stops the other one where it stands. Steps come from an event-loop
// timer, so an animation costs a wake-up per step and nothing in between.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class AnimatedWindow : public QWidget {
    Q_OBJECT

public:
    // Shows the window and brings it forward, as the About and Help commands do.
    void present();

    bool isAnimating() const { return timer.isActive(); }

protected:
    // The one window of a kind in the application, created on first use.
    template<typename Window> static Window *sharedInstance()
    {
        static QPointer<Window> window;
        if (!window)
            window = new Window;
        return window;
    }

    AnimatedWindow(int intervalMs, QWidget *parent = nullptr);
    ~AnimatedWindow() override;

    virtual void restartAnimation() = 0;
    virtual void stepAnimation() = 0;

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void becomeCurrent();

    QTimer timer;
    bool placed = false;
    static AnimatedWindow *current;
};
