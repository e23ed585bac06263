// The composer from the keyboard: its keys, the Open and Save as UTF-8 dialogs, the
// context menus, and converting as the user types.

#include "composer/form1.h"
#include "tests/messageboxes.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest/QTest>

#include <random>

class TestKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void ctrlEnterConverts_data();
    void ctrlEnterConverts();
    void keysSaveAndHelp();
    void openDialogFillsTheInputBox();
    void saveAsUtf8WritesTheOutputBox_data();
    void saveAsUtf8WritesTheOutputBox();
    void menusAndTipsNameTheKeys();
    void liveReplacesOnlyTheChangedLines();
    void liveAgreesWithConvertThroughRandomEdits();
    void anEditOfTheOutputStopsLive();
    void liveIsRememberedAndOffAtFirst();

private:
    template<typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QPlainTextEdit *box(const char *name) const { return child<QPlainTextEdit>(name); }
    void press(QWidget *to, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(to, Qt::Key(key), modifiers);
    }
    QAction *liveSwitch() const
    {
        for (QAction *each : window->actions())
            if (each->text() == QLatin1String("Convert as you type"))
                return each;
        return nullptr;
    }
    QString shown(const char *name) const
    {
        return box(name)->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }
    // The dialog once it is open, or null; a user presses its Open or Save button.
    QFileDialog *waitFor(const char *name)
    {
        QFileDialog *found = nullptr;
        const bool open = QTest::qWaitFor(
            [&] { return (found = child<QFileDialog>(name)) && found->isVisible(); });
        return open ? found : nullptr;
    }
    static void choose(QDialog *dialog) { dialog->accept(); }

    QTemporaryDir settings;
    Form1 *window = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestKeys::initTestCase()
{
    // Windows keeps settings in the registry, and only for a named organisation.
    QCoreApplication::setOrganizationName(QStringLiteral("Vesnor tests"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
}

void TestKeys::init()
{
    QSettings().clear();
    window = new Form1;
    dir = new QTemporaryDir;
    window->setSaveFolders(dir->path(), dir->path());
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestKeys::cleanup()
{
    delete window;
    delete dir;
}

void TestKeys::ctrlEnterConverts_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+Enter in the input box") << "Text1" << int(Qt::Key_Return);
    QTest::newRow("Ctrl+Enter in the output box") << "Text2" << int(Qt::Key_Return);
    QTest::newRow("Ctrl and the keypad's Enter") << "Text1" << int(Qt::Key_Enter);
    QTest::newRow("Ctrl+Enter on a button") << "Command3" << int(Qt::Key_Return);
}

void TestKeys::ctrlEnterConverts()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    box("Text1")->setPlainText(QStringLiteral("Barev"));
    QWidget *focused = window->findChild<QWidget *>(from);
    focused->setFocus();
    press(focused, key);
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև"));
    QCOMPARE(shown("Text1"), QStringLiteral("Barev"));
    // Enter alone still breaks the line.
    box("Text1")->setFocus();
    box("Text1")->moveCursor(QTextCursor::End);
    press(box("Text1"), Qt::Key_Return, Qt::NoModifier);
    QCOMPARE(shown("Text1"), QStringLiteral("Barev\n"));
}

void TestKeys::keysSaveAndHelp()
{
    MessageBoxes boxes;
    box("Text2")->setPlainText(QStringLiteral("x"));
    press(box("Text1"), Qt::Key_S);
    QTRY_COMPARE(boxes.titles, QStringList{QStringLiteral("Save succesfull")});
    QVERIFY(QFile::exists(QDir(dir->path()).filePath("output.txt")));

    // The message box had the focus; the composer is the active window again.
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    press(box("Text1"), Qt::Key_F1, Qt::NoModifier);
    QWidget *chart = nullptr;
    for (QWidget *each : QApplication::topLevelWidgets())
        if (each->objectName() == QLatin1String("Form3"))
            chart = each;
    QVERIFY(chart && chart->isVisible());
}

void TestKeys::openDialogFillsTheInputBox()
{
    const QString path = dir->filePath("saved.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n\xB4\xB3\xF1\xA8");
    file.close();
    press(box("Text2"), Qt::Key_O);
    QFileDialog *dialog = waitFor("openDialog");
    QVERIFY(dialog);
    dialog->selectFile(path);
    choose(dialog);
    QCOMPARE(shown("Text1"), QString::fromUtf8("Բարև"));
    box("Text1")->undo();
    QCOMPARE(shown("Text1"), QStringLiteral("Enter translit text"));
}

void TestKeys::saveAsUtf8WritesTheOutputBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("written");
#ifdef Q_OS_WIN
    const QByteArray lines = "\xD5\x80\xD5\xA1\r\nok 😀";
#else
    const QByteArray lines = "\xD5\x80\xD5\xA1\nok 😀";
#endif
    QTest::newRow("the box's text, no mark, the system's line breaks") << "today.txt" << lines;
    QTest::newRow("a folder that is not there: the reason, and nothing written")
        << "missing/today.txt" << QByteArray();
}

void TestKeys::saveAsUtf8WritesTheOutputBox()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, written);
    MessageBoxes boxes;
    box("Text2")->setPlainText(QString::fromUtf8("Հա\nok 😀"));
    press(box("Text1"), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QFileDialog *dialog = waitFor("saveUtf8Dialog");
    QVERIFY(dialog);
    QCOMPARE(
        QFileInfo(dialog->selectedFiles().value(0)).fileName(), QStringLiteral("output.utf8.txt"));
    dialog->selectFile(dir->filePath(name));
    if (written.isEmpty()) {
        // The dialog's own check of the folder stands between a user and this case:
        // the folder is gone between choosing and writing.
        emit dialog->fileSelected(dir->filePath(name));
        dialog->close();
    } else {
        choose(dialog);
    }
    QFile file(dir->filePath(name));
    if (written.isEmpty()) {
        QTRY_COMPARE(boxes.titles, QStringList{QStringLiteral("Save as UTF-8")});
        QVERIFY(
            boxes.texts.value(0).startsWith(QStringLiteral("The file could not be saved.\n\n")));
        QVERIFY(boxes.texts.value(0).size() > 30); // and the system's reason
        QVERIFY(!file.exists());
    } else {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
        QCOMPARE(boxes.titles, QStringList());
    }
}

void TestKeys::menusAndTipsNameTheKeys()
{
    QCOMPARE(child<QPushButton>("Command1")->toolTip(), QStringLiteral("Convert (Ctrl+Enter)"));
    QCOMPARE(child<QPushButton>("Command2")->toolTip(), QStringLiteral("Save (Ctrl+S)"));
    QCOMPARE(child<QPushButton>("Command4")->toolTip(), QStringLiteral("Help (F1)"));
    for (const char *name : {"Text1", "Text2"}) {
        emit box(name)->customContextMenuRequested(QPoint(5, 5));
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QStringList added;
        const QList<QAction *> actions = menu->actions();
        for (qsizetype k = actions.size() - 3; k < actions.size(); ++k)
            added << actions[k]->text() + QLatin1Char('\t')
                    + actions[k]->shortcut().toString(QKeySequence::NativeText);
        QCOMPARE(added,
            (QStringList{QString::fromUtf8("Open…\tCtrl+O"),
                QString::fromUtf8("Save as UTF-8…\tCtrl+Shift+S"),
                QStringLiteral("Convert as you type\tCtrl+L")}));
        QVERIFY(actions.size() > 3); // the box's own entries stay
        menu->close();
    }
}

void TestKeys::liveReplacesOnlyTheChangedLines()
{
    QPlainTextEdit *input = box("Text1");
    press(input, Qt::Key_L);
    QTest::keyClicks(input, QStringLiteral("Barev"));
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև"));
    for (const QString &line : {QStringLiteral("yes"), QStringLiteral("vonc")}) {
        press(input, Qt::Key_Return, Qt::NoModifier);
        QTest::keyClicks(input, line);
    }
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև\nես\nոնց"));

    // A line the edit did not touch is the same block as before.
    box("Text2")->document()->findBlockByNumber(2).setUserState(7);
    QTextCursor cursor = input->textCursor();
    cursor.setPosition(5);
    input->setTextCursor(cursor);
    QTest::keyClicks(input, QStringLiteral(" Dzez"));
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև Ձեզ\nես\nոնց"));
    QCOMPARE(box("Text2")->document()->findBlockByNumber(2).userState(), 7);

    QTest::mouseClick(child<QRadioButton>("armeng"), Qt::LeftButton);
    QCOMPARE(shown("Text2"), QStringLiteral("Barev Dzez\nyes\nvonc"));

    // However much is typed, Undo in the output box holds one step: what it showed
    // before it followed the input box.
    box("Text2")->setPlainText(QStringLiteral("mine"));
    press(input, Qt::Key_L);
    QTest::keyClicks(input, QStringLiteral(" lav em"));
    QCOMPARE(box("Text2")->document()->availableUndoSteps(), 1);
    box("Text2")->undo();
    QTRY_COMPARE(shown("Text2"), QStringLiteral("mine"));
    QVERIFY(!liveSwitch()->isChecked());
}

// Typing, deleting and pasting anywhere, lines included: live conversion shows what
// Convert gives at every step.
void TestKeys::liveAgreesWithConvertThroughRandomEdits()
{
    QPlainTextEdit *input = box("Text1");
    input->clear();
    press(input, Qt::Key_L);
    const QString pieces[] = {"a", "v", "o", "y", "e", "t", "h", " ", "\n", "\n\n", "sh", "Vo ",
        "Ու", "ու", "և", "\u00A0", "ж"};
    std::mt19937 random(27);
    for (int step = 0; step < 300; ++step) {
        QTextCursor cursor = input->textCursor();
        const int length = input->document()->characterCount() - 1;
        cursor.setPosition(int(random() % (length + 1)));
        if (random() % 3 == 0 && length > 0) {
            cursor.setPosition(int(random() % (length + 1)), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        } else {
            cursor.insertText(pieces[random() % std::size(pieces)]);
        }
        const QString live = shown("Text2");
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(live, shown("Text2"));
    }
}

void TestKeys::anEditOfTheOutputStopsLive()
{
    press(box("Text1"), Qt::Key_L);
    box("Text1")->setPlainText(QStringLiteral("Barev"));
    box("Text2")->moveCursor(QTextCursor::End);
    QTest::keyClicks(box("Text2"), QStringLiteral("!"));
    box("Text1")->moveCursor(QTextCursor::End);
    QTest::keyClicks(box("Text1"), QStringLiteral(" Dzez"));
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև!"));
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև Ձեզ"));
}

void TestKeys::liveIsRememberedAndOffAtFirst()
{
    QTest::keyClicks(box("Text1"), QStringLiteral("Barev"));
    QCOMPARE(shown("Text2"), QString());
    press(box("Text1"), Qt::Key_L);
    QCOMPARE(shown("Text2"), QString::fromUtf8("Բարև"));
    Form1 again;
    QTest::keyClicks(again.findChild<QPlainTextEdit *>("Text1"), QStringLiteral("vonc"));
    QCOMPARE(again.findChild<QPlainTextEdit *>("Text2")->toPlainText(), QString::fromUtf8("ոնց"));
}

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
