#pragma once

// What the three windows share: twips placement (twips.h), the Armenian face
// (fonts.h), centring on the screen and the picture box.

#include <QMargins>
#include <QObject>
#include <QPoint>

class QWidget;

// Centres a window's frame on its screen when it is first shown. Where the window
// manager adds the frame only after the window is mapped, the window is centred
// again once, as soon as the frame is known; after that it stays where the user
// puts it.
class CentreOnFirstShow : public QObject {
public:
    explicit CentreOnFirstShow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint target(const QMargins &frame) const;
    void settle();

    QWidget *const window;
    static constexpr int kCheckMs = 50;
    static constexpr int kMaxChecks = 40;
    enum class State { NotShown, Settling, Done } state = State::NotShown;
    int checks = 0;
    int stableChecks = 0;
};
