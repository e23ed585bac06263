#pragma once

#include <QLabel>

// A picture shown unscaled from the top-left corner of a framed box. It may take
// the keyboard focus (the About window opens with the focus on it), and then shows
// the focus mark inside its frame.
class PictureBox : public QLabel {
public:
    PictureBox(const char *name, int frameStyle, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
