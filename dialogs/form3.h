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
    // The one Coding chart window of the application, created on first use.
    static Form3 *instance();

    explicit Form3(QWidget *parent = nullptr);

    // The chart, drawn from the table strings.
    static QImage chart();

protected:
    void restartAnimation() override;
    void stepAnimation() override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString caption = QStringLiteral("Coding");
};
