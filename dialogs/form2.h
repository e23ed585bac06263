#pragma once

// The About window: product name, credits and the application picture over a Close
// button that widens and narrows about a fixed centre line while the window is the
// most recently activated auxiliary window.

#include "animatedwindow.h"

class QPushButton;

class Form2 : public AnimatedWindow {
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

protected:
    void restartAnimation() override;
    void stepAnimation() override;

private:
    QPushButton *const Command1;
    int buttonWidth = 1000; // twips
    int widthStep = 100;
};
