#pragma once

// The composer window: the user types into Text1, picks a direction and presses
// Convert; the engine turns the box's text (as 8-bit text) into the result, which
// Text2 shows and the user may still edit. Save writes Text2 to a file through
// Saver; About and Help show the two auxiliary windows. A file given on the command
// line, dropped onto either box or chosen with Open… is read through Opener into
// Text1. Convert as you type (the one setting) converts each changed line of Text1
// into the same line of Text2 until the user edits Text2.

#include "vesnor/transliterator.h"

#include <QWidget>

#include <memory>
#include <string>

class AnimationCoordinator;
class QAction;
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
    void replaceOutput(const QString &text);
    QString converted(QStringView text) const;
    void convertChangedLines(int position, int added);
    void outputEdited();
    void followInput();
    void openWithDialog();
    void saveUtf8WithDialog();
    void showContextMenu(QPlainTextEdit *box, const QPoint &at);
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

    QAction *const convertAction;
    QAction *const saveAction;
    QAction *const helpAction;
    QAction *const openAction;
    QAction *const saveUtf8Action;
    QAction *const liveAction;

    // The conversion's state: a, b, tar and the table strings live in the engine,
    // which assigns the tables as the window is created.
    vesnor::Transliterator engine;
    std::u32string foreign; // originals of the characters a holds as placeholders
    bool promptUntouched = true; // Text1 still holds the prompt it opened with
    bool outputInStep = false; // Text2 holds the conversion of Text1, line for line
    bool writingOutput = false; // Text2 changes by the window's hand, not the user's
    int inputLines = 1; // Text1's lines when Text2 last followed it
    QString outputBefore; // what Text2 held before Convert or live conversion replaced it

    QString applicationDir;
    QString documentsDir;

    // The About and Coding chart windows, created on first use; neither has an
    // owner on screen, but the composer window ends them with itself.
    AnimationCoordinator *const animations;
    std::unique_ptr<Form2> about;
    std::unique_ptr<Form3> coding;
};
