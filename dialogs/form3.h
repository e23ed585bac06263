#pragma once

// The Coding chart window: every entry of the transliteration tables as an
// Armenian letter with its Latin key, under an Armenian heading, with a title that
// slides to the right while the window is the most recently activated one.

#include "animatedwindow.h"

#include <QImage>
#include <QString>

class Form3 : public AnimatedWindow {
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    // The chart, drawn from the table strings, at the given pixels per
    // device-independent pixel so that it stays sharp on high-density screens.
    static QImage chart(qreal devicePixelRatio = 1);

protected:
    void restartAnimation() override;
    void stepAnimation() override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void drawChart();

    class PictureBox *const Picture1;
    QString caption = QStringLiteral("Coding");
};
