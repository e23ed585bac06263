#pragma once

// The composer window: the user types into Text1, picks a direction and presses
// Convert; the engine turns the box's text (as 8-bit text) into the result, which
// Text2 shows and the user may still edit. Save writes Text2 to a file through
// Saver; About and Help show the two auxiliary windows. A file given on the command
// line or dropped onto either box is read through Opener into Text1.

#include "engine/transliterator.h"

#include <QWidget>

#include <memory>
#include <string>

class AnimationCoordinator;
class Form2;
class Form3;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Where Save writes: the application directory, and the folder used when that
    // cannot be written.
    void setSaveFolders(const QString &applicationDir, const QString &documentsDir);

    // Puts a file's text into Text1 as one edit the user can undo; a file that cannot
    // be read gets a message and leaves the box as it was.
    void openFile(const QString &path);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void convert();
    void save();
    void showAbout();
    void showHelp();
    void layOut();

    QPlainTextEdit *const Text1;
    QPlainTextEdit *const Text2;
    QPushButton *const Command1;
    QPushButton *const Command2;
    QRadioButton *const engarm;
    QRadioButton *const armeng;
    QPushButton *const Command3;
    QPushButton *const Command4;

    // The conversion's state: a, b, tar and the table strings live in the engine,
    // which assigns the tables as the window is created.
    vesnor::Transliterator engine;
    std::u32string foreign; // originals of the characters a holds as placeholders
    bool promptUntouched = true; // Text1 still holds the prompt it opened with

    QString applicationDir;
    QString documentsDir;

    // The About and Coding chart windows, created on first use; neither has an
    // owner on screen, but the composer window ends them with itself.
    AnimationCoordinator *const animations;
    std::unique_ptr<Form2> about;
    std::unique_ptr<Form3> coding;
};
