#pragma once

// Answers the modal message boxes a test provokes, as a user would, and keeps what
// they said.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

class MessageBoxes : public QObject {
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : answer(answer)
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            titles << box->windowTitle();
            texts << box->text();
            icons << box->icon();
            QAbstractButton *button = box->button(this->answer);
            if (!button)
                button = box->button(QMessageBox::Ok);
            button->click();
        });
        poll.start(10);
    }

    QStringList titles;
    QStringList texts;
    QList<QMessageBox::Icon> icons;

private:
    QMessageBox::StandardButton answer;
    QTimer poll;
};
