#pragma once

// What the three windows share: twips placement (twips.h), the Armenian face
// (fonts.h), centring on the screen and the picture box.

#include <QMargins>
#include <QObject>
#include <QPoint>

class QRect;
class QSize;
class QWidget;

// Where the inner area of a window goes so that its frame, with the given margins,
// is centred in the available area; a window larger than that area lies at its top
// (left) edge instead, so that its title bar stays on the screen.
QPoint centredPosition(const QSize &inner, const QMargins &frame, const QRect &available);

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
