#include "composer/form1.h"
#include "tests/messageboxes.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include "tests/converter.h"
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest/QTest>

namespace {

// Pixels for a length in twips, allowing the one pixel that rounding may add.
void compareTwips(int pixels, double expectedTwips, const char *what)
{
    const double expected = expectedTwips / twips::kPerPixel;
    QVERIFY2(qAbs(pixels - expected) <= 1.0,
        qPrintable(
            QStringLiteral("%1: %2 px, expected about %3 px").arg(what).arg(pixels).arg(expected)));
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUp();
    void convert_data();
    void convert();
    void convertingTwiceGivesTheSameResult();
    void directionCountsOnlyAtConvert();
    void convertReplacesEditsAndKeepsTheInput();
    void layout_data();
    void layout();
    void snapsBackToTheMinimumInOneDirection();
    void minimiseAndRestoreKeepTheLayout();
    void saveWritesTheEditedBox();
    void saveConfirmsTheRealName();
    void unencodableCharacters_data();
    void unencodableCharacters();
    void failedSaveSaysWhy();
    void everyColumnOfSaveSaves();
    void enterClicksTheFocusedButton_data();
    void enterClicksTheFocusedButton();
    void controlsSayTheirRole();
    void windowAgreesWithTheConverter_data();
    void windowAgreesWithTheConverter();
    void noBreakSpaceIsSaved();
    void longListOfUnencodableCharactersIsBounded();
    void minimumSizeIsToldToTheWindowManager();
    void convertIsOneStepToUndo();
    void firstKeyReplacesThePrompt();
    void clickThenTypeReplacesThePrompt();
    void aboutAndHelpShowTheirOneWindow();
    void longParagraphsKeepTheirShapedText();

private:
    template<typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void convertText(const QString &text, bool engArm);

    Form1 *window = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestForm1::init()
{
    window = new Form1;
    dir = new QTemporaryDir;
    window->setSaveFolders(dir->path(), dir->filePath("Documents"));
}

void TestForm1::cleanup()
{
    delete window;
    delete dir;
}

void TestForm1::convertText(const QString &text, bool engArm)
{
    child<QPlainTextEdit>("Text1")->setPlainText(text);
    QTest::mouseClick(
        engArm ? child<QRadioButton>("engarm") : child<QRadioButton>("armeng"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
}

void TestForm1::startUp()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Armenian-English text composer"));
    QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("Enter translit text"));
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QString());
    QVERIFY(child<QRadioButton>("engarm")->isChecked());
    QVERIFY(!child<QRadioButton>("armeng")->isChecked());
    QCOMPARE(child<QRadioButton>("engarm")->text(), QString::fromUtf8("A > Ա"));
    QCOMPARE(child<QRadioButton>("armeng")->text(), QString::fromUtf8("Ա > A"));
    QCOMPARE(child<QPushButton>("Command1")->text(), QStringLiteral("Convert"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Save"));
    QCOMPARE(child<QPushButton>("Command3")->text(), QStringLiteral("About"));
    QCOMPARE(child<QPushButton>("Command4")->text(), QStringLiteral("Help"));
    QVERIFY(!window->windowIcon().isNull());
    // With a face that has Armenian letters, nothing is said about fonts.
    QVERIFY(!warnIfNoArmenianFont(window));

    // Tab walks the controls in their order.
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // The option group is one stop, at the selected button; arrows move inside it.
    const char *order[]
        = {"Text1", "Text2", "Command1", "Command2", "engarm", "Command3", "Command4"};
    child<QPlainTextEdit>("Text1")->setFocus();
    for (const char *name : order) {
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }

    // Convert straight away turns the greeting text into Armenian.
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(
        child<QPlainTextEdit>("Text2")->toPlainText(), QString::fromUtf8("Ենտեր տրանսլիտ տեխտ"));
}

void TestForm1::convert_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("greeting") << true << "Barev Dzez" << QString::fromUtf8("Բարև Ձեզ");
    QTest::newRow("empty box") << true << ""
                               << "";
    QTest::newRow("a word on a new line")
        << true << "Barev,\nvonc es?" << QString::fromUtf8("Բարև,\nոնց ես?");
    QTest::newRow("a word on a new line, back to Latin")
        << false << QString::fromUtf8("ա\nԵրևան") << "a\nYerevan";
    QTest::newRow("back to Latin") << false << QString::fromUtf8("Երևան, Ոչ") << "Yerevan, Voch";
    QTest::newRow("characters without a code stay in place")
        << true << QString::fromUtf8("t😀h Жvo") << QString::fromUtf8("տ😀հ Жվո");
    QTest::newRow("Armenian typed into the Latin direction stays")
        << true << QString::fromUtf8("Բարև") << QString::fromUtf8("Բարև");
}

void TestForm1::convert()
{
    QFETCH(bool, engArm);
    QFETCH(QString, input);
    QFETCH(QString, expected);

    convertText(input, engArm);
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), expected);
}

void TestForm1::convertingTwiceGivesTheSameResult()
{
    convertText(QStringLiteral("Barev"), true);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QString::fromUtf8("Բարև"));
}

void TestForm1::directionCountsOnlyAtConvert()
{
    convertText(QStringLiteral("Barev"), true);
    QTest::mouseClick(child<QRadioButton>("armeng"), Qt::LeftButton);
    QVERIFY(!child<QRadioButton>("engarm")->isChecked());
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QString::fromUtf8("Բարև"));
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("Barev"));
}

void TestForm1::convertReplacesEditsAndKeepsTheInput()
{
    auto *output = child<QPlainTextEdit>("Text2");
    convertText(QStringLiteral("tun"), true);
    output->setFocus();
    QTest::keyClicks(output, QStringLiteral(" edited"));
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(output->toPlainText(), QString::fromUtf8("տուն"));
    QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("tun"));
}

void TestForm1::layout_data()
{
    QTest::addColumn<int>("outerWidthTwips");
    QTest::addColumn<int>("outerHeightTwips");

    QTest::newRow("minimum size") << 5000 << 2000;
    QTest::newRow("larger size") << 9000 << 6000;
    QTest::newRow("wide and low") << 15000 << 2400;
}

// What a user sees at any size: two boxes of one height, one just under the other,
// that reach the window's right edge; under them a row of buttons whose bottom stays
// inside the window, and the two direction switches, their marks and words between
// Convert and Save.
void TestForm1::layout()
{
    QFETCH(int, outerWidthTwips);
    QFETCH(int, outerHeightTwips);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(twips::toPixelsAtLeast(outerWidthTwips - 120),
        twips::toPixelsAtLeast(outerHeightTwips - 405));
    QTRY_COMPARE(window->width(), twips::toPixelsAtLeast(outerWidthTwips - 120));

    const QRect inside = window->rect();
    const QRect text1 = child<QWidget>("Text1")->geometry();
    const QRect text2 = child<QWidget>("Text2")->geometry();
    QCOMPARE(text1.left(), 0);
    QCOMPARE(text2.left(), 0);
    QVERIFY(text1.right() >= inside.right());
    QCOMPARE(text2.size(), text1.size());
    compareTwips(text1.top(), 120, "above the input box");
    QVERIFY(qAbs(text2.top() - text1.bottom() - 1) <= 2);

    QRect previous;
    for (const char *name : {"Command1", "Command2", "Command3", "Command4"}) {
        const QRect button = child<QWidget>(name)->geometry();
        QVERIFY2(button.bottom() <= inside.bottom(), name);
        compareTwips(button.top() - text2.bottom() - 1, 200, name);
        QVERIFY2(previous.isNull() || previous.right() < button.left(), name);
        previous = button;
    }
    const QRect convert = child<QWidget>("Command1")->geometry();
    compareTwips(inside.bottom() - convert.bottom(), 120, "below Convert");
    const QRect save = child<QWidget>("Command2")->geometry();
    QRect above;
    for (const char *name : {"engarm", "armeng"}) {
        const QWidget *choice = child<QWidget>(name);
        const QRect drawn(choice->pos(), choice->sizeHint());
        QVERIFY2(inside.contains(drawn), name);
        QVERIFY2(drawn.left() > convert.right() && drawn.right() < save.left(), name);
        QVERIFY2(above.isNull() || above.center().y() < drawn.top(), name);
        above = drawn;
    }
    // The switches stand beside Convert, the first from above its top, the second
    // right under the first.
    const QRect engarm = child<QWidget>("engarm")->geometry();
    QVERIFY(engarm.top() < convert.top());
    QVERIFY(qAbs(child<QWidget>("armeng")->y() - engarm.bottom() - 1) <= 1);
}

void TestForm1::snapsBackToTheMinimumInOneDirection()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(100, 400);
    QTRY_COMPARE(window->width(), twips::toPixelsAtLeast(5000 - 120));
    QCOMPARE(window->height(), 400);

    window->resize(500, 50);
    QTRY_COMPARE(window->height(), twips::toPixelsAtLeast(2000 - 405));
    QCOMPARE(window->width(), 500);
}

void TestForm1::minimiseAndRestoreKeepTheLayout()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(500, 300);
    QTRY_COMPARE(window->width(), 500);
    const QRect text2 = child<QPlainTextEdit>("Text2")->geometry();
    const QRect help = child<QPushButton>("Command4")->geometry();

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    window->showNormal();
    QTRY_VERIFY(!window->isMinimized());
    QCOMPARE(child<QPlainTextEdit>("Text2")->geometry(), text2);
    QCOMPARE(child<QPushButton>("Command4")->geometry(), help);
}

void TestForm1::saveWritesTheEditedBox()
{
    convertText(QStringLiteral("Barev"), true);
    auto *output = child<QPlainTextEdit>("Text2");
    output->moveCursor(QTextCursor::End);
    output->insertPlainText(QString::fromUtf8(" Ձեզ")); // as pasted
    QTest::keyClick(output, Qt::Key_Return);
    QTest::keyClicks(output, QStringLiteral("!"));

    MessageBoxes boxes;
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QFile file(dir->filePath("output.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
        QByteArray("To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n"
                   "\xB4\xB3\xF1\xA8 \xD2\xBB\xBD\r\n!"));
}

void TestForm1::saveConfirmsTheRealName()
{
    MessageBoxes boxes;
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes.titles, QStringList({"Save succesfull", "Save succesfull"}));
    QCOMPARE(boxes.texts,
        QStringList({"File ''output.txt'' was saved in the application directory",
            "File ''new output.txt'' was saved in the application directory"}));
    QCOMPARE(boxes.icons.value(0), QMessageBox::Information);
}

void TestForm1::unencodableCharacters_data()
{
    QTest::addColumn<bool>("agree");
    QTest::newRow("OK writes question marks") << true;
    QTest::newRow("Cancel writes nothing") << false;
}

void TestForm1::unencodableCharacters()
{
    QFETCH(bool, agree);
    child<QPlainTextEdit>("Text2")->setPlainText(QString::fromUtf8("ա😀բ"));
    MessageBoxes boxes(agree ? QMessageBox::Ok : QMessageBox::Cancel);
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);

    QCOMPARE(boxes.icons.value(0), QMessageBox::Warning);
    QVERIFY(boxes.texts.value(0).contains(QString::fromUtf8("😀")));
    QCOMPARE(QFile::exists(dir->filePath("output.txt")), agree);
    if (agree) {
        QFile file(dir->filePath("output.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().mid(58), QByteArray("\xB3?\xB5"));
        QCOMPARE(boxes.titles.value(1), QStringLiteral("Save succesfull"));
    } else {
        QCOMPARE(boxes.texts.size(), 1);
    }
}

void TestForm1::failedSaveSaysWhy()
{
#ifdef Q_OS_WIN
    QSKIP("needs a folder no one can create (/proc) and 255-character names under MAX_PATH");
#endif
    window->setSaveFolders(
        QStringLiteral("/proc/vesnor-no-such-dir"), QStringLiteral("/proc/nor-this"));
    MessageBoxes boxes;
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes.icons.value(0), QMessageBox::Warning);
    QVERIFY(boxes.texts.value(0).startsWith(QStringLiteral("The file could not be saved.")));
    QVERIFY(boxes.texts.value(0).contains(QStringLiteral("No such file or directory")));

    // The documents folder serves when the application directory cannot be written.
    window->setSaveFolders(QStringLiteral("/proc/vesnor-no-such-dir"), dir->filePath("Documents"));
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes.titles.value(1), QStringLiteral("Save succesfull"));
    QVERIFY(boxes.texts.value(1).contains(dir->filePath("Documents")));
    QVERIFY(boxes.texts.value(1).endsWith(QStringLiteral("No such file or directory")));
    QVERIFY(QFile::exists(dir->filePath("Documents/output.txt")));

    // A series too long for a file name is its own reason, not an unwritable folder.
    window->setSaveFolders(dir->path(), dir->filePath("Documents"));
    QString name = QStringLiteral("output.txt");
    for (int k = 0; k <= 62; ++k, name.prepend(QStringLiteral("new ")))
        QFile(dir->filePath(name)).open(QIODevice::WriteOnly);
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(boxes.titles.value(2), QStringLiteral("Save succesfull"));
    QVERIFY2(boxes.texts.value(2).endsWith(QStringLiteral("File name too long")),
        qPrintable(boxes.texts.value(2)));
    QVERIFY(!boxes.texts.value(2).contains(QStringLiteral("cannot be written")));
}

// The option buttons' boxes reach into Save; a click anywhere on Save must still
// reach it, as the window system delivers it: to the control in front.
void TestForm1::everyColumnOfSaveSaves()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *save = child<QPushButton>("Command2");
    MessageBoxes boxes;
    for (int x = 0; x < save->width(); ++x) {
        const QPoint at = save->mapTo(window, QPoint(x, save->height() / 2));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(boxes.texts.size(), x + 1);
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), save->width());

    // The option buttons still take clicks on their captions.
    auto *armeng = child<QRadioButton>("armeng");
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
        armeng->mapTo(window, QPoint(armeng->height() * 2, armeng->height() * 3 / 4)));
    QVERIFY(armeng->isChecked());
}

void TestForm1::enterClicksTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shows");
    QTest::newRow("Convert") << "Command1"
                             << "Text2";
    QTest::newRow("Save") << "Command2"
                          << "saved file";
    QTest::newRow("About") << "Command3"
                           << "Form2";
    QTest::newRow("Help") << "Command4"
                          << "Form3";
}

void TestForm1::enterClicksTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(QString, shows);
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *target = window->findChild<QPushButton *>(button);
    target->setFocus();
    MessageBoxes boxes;
    QTest::keyClick(target, Qt::Key_Return);

    if (shows == "Text2") {
        QVERIFY(!child<QPlainTextEdit>("Text2")->toPlainText().isEmpty());
    } else if (shows == "saved file") {
        QVERIFY(QFile::exists(dir->filePath("output.txt")));
    } else {
        bool shown = false;
        for (QWidget *top : QApplication::topLevelWidgets())
            shown = shown || (top->objectName() == shows && top->isVisible());
        QVERIFY(shown);
    }
    // Enter in a box still breaks the line: no button stands in as the default.
    auto *input = child<QPlainTextEdit>("Text1");
    input->setFocus();
    for (const QPushButton *command : window->findChildren<QPushButton *>())
        QVERIFY(!command->isDefault());
    const QString shown = child<QPlainTextEdit>("Text2")->toPlainText();
    QTest::keyClick(input, Qt::Key_Return);
    QVERIFY(input->toPlainText().contains(QLatin1Char('\n')));
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), shown);
}

void TestForm1::controlsSayTheirRole()
{
    QStringList names;
    for (const char *control :
        {"Text1", "Text2", "Command1", "Command2", "engarm", "armeng", "Command3", "Command4"}) {
        const QString name = window->findChild<QWidget *>(control)->accessibleName();
        QVERIFY2(!name.isEmpty(), control);
        QVERIFY2(!names.contains(name), control);
        names << name;
    }
}

void TestForm1::windowAgreesWithTheConverter_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QString>("text");
    QTest::newRow("words on new lines") << true << "Barev,\nvonc es?\nOv es?\nyes";
    QTest::newRow("tab and no-break spaces")
        << true << QString::fromUtf8("a\tvo a\u00A0vo Barev\u00A0Dzez\u00A0ye");
    QTest::newRow("a line separator is no line break") << true << QString::fromUtf8("a\u2028vo");
    QTest::newRow("punctuation") << true << "(vo (ov \"ye\" a.o";
    QTest::newRow("Armenian on new lines")
        << false << QString::fromUtf8("Բարև,\nԵրևան\nոնց\tես\u00A0ով");
}

// The same text through the window and through vesnor-convert gives the same result.
void TestForm1::windowAgreesWithTheConverter()
{
    QFETCH(bool, engArm);
    QFETCH(QString, text);
    convertText(text, engArm);
    QString shown = child<QPlainTextEdit>("Text2")->document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));

    QProcess converter;
    converter.start(
        ::converter(), {engArm ? QStringLiteral("--eng-arm") : QStringLiteral("--arm-eng")});
    converter.write(text.toUtf8());
    converter.closeWriteChannel();
    QVERIFY(converter.waitForFinished(60000));
    QCOMPARE(converter.exitCode(), 0);
    QCOMPARE(shown, QString::fromUtf8(converter.readAllStandardOutput()));
}

void TestForm1::noBreakSpaceIsSaved()
{
    child<QPlainTextEdit>("Text2")->setPlainText(QString::fromUtf8("Բարև\u00A0Ձեզ"));
    MessageBoxes boxes;
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QFile file(dir->filePath("output.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().mid(58), QByteArray("\xB4\xB3\xF1\xA8\xA0\xD2\xBB\xBD"));
}

void TestForm1::longListOfUnencodableCharactersIsBounded()
{
    QString text;
    for (char32_t c = 0x4E00; c < 0x4E00 + 3000; ++c)
        text += QString::fromStdU32String(std::u32string(1, c));
    child<QPlainTextEdit>("Text2")->setPlainText(text);
    MessageBoxes boxes(QMessageBox::Cancel);
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    const QString message = boxes.texts.value(0);
    QVERIFY2(message.contains(QStringLiteral(" and 2980 more")), qPrintable(message.left(200)));
    QVERIFY(message.contains(QString::fromStdU32String(U"\u4E13")));
    QVERIFY(!message.contains(QString::fromStdU32String(U"\u4E14")));
}

void TestForm1::minimumSizeIsToldToTheWindowManager()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->minimumSize(),
        QSize(twips::toPixelsAtLeast(5000 - 120), twips::toPixelsAtLeast(2000 - 405)));
}

// Convert replaces the output box as one step: Ctrl+Z there brings back the text the
// user had edited, and the next Convert keeps only its own step.
void TestForm1::convertIsOneStepToUndo()
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *text2 = child<QPlainTextEdit>("Text2");
    convertText(QStringLiteral("Barev"), true);
    text2->setFocus();
    text2->moveCursor(QTextCursor::End);
    QTest::keyClicks(text2, QStringLiteral(" edited"));
    const QString edited = text2->toPlainText();
    QCOMPARE(edited, QString::fromUtf8("Բարև edited"));

    convertText(QStringLiteral("Dzez"), true);
    QCOMPARE(text2->toPlainText(), QString::fromUtf8("Ձեզ"));
    text2->setFocus();
    QTest::keyClick(text2, Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(text2->toPlainText(), edited);
    // That was the one step: the edits before it went with it.
    QVERIFY(!text2->document()->isUndoAvailable());

    // Edits after a Convert are undone first, then the Convert.
    convertText(QStringLiteral("Dzez"), true);
    text2->setFocus();
    text2->moveCursor(QTextCursor::End);
    QTest::keyClicks(text2, QStringLiteral("!"));
    QTest::keyClick(text2, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text2->toPlainText(), QString::fromUtf8("Ձեզ"));
    QTest::keyClick(text2, Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(text2->toPlainText(), edited);
}

// The window opens with the prompt selected in the input box, so the first key
// typed replaces it rather than joining it.
void TestForm1::firstKeyReplacesThePrompt()
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), child<QPlainTextEdit>("Text1"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("barev"));
    QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("barev"));
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QString::fromUtf8("բարև"));
}

// A click into the box before typing leaves the prompt to be replaced too; once the
// box has been changed, a click places the cursor as anywhere else.
void TestForm1::clickThenTypeReplacesThePrompt()
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *text1 = child<QPlainTextEdit>("Text1");
    const QPoint end
        = text1->cursorRect(QTextCursor(text1->document()->lastBlock())).center() + QPoint(200, 0);
    QTest::mouseClick(text1->viewport(), Qt::LeftButton, Qt::NoModifier, end);
    QCoreApplication::processEvents();
    QTest::keyClicks(text1, QStringLiteral("barev"));
    QCOMPARE(text1->toPlainText(), QStringLiteral("barev"));
    QTest::mouseClick(text1->viewport(), Qt::LeftButton, Qt::NoModifier, end);
    QCoreApplication::processEvents();
    QTest::keyClicks(text1, QStringLiteral(" dzez"));
    QCOMPARE(text1->toPlainText(), QStringLiteral("barev dzez"));
}

void TestForm1::aboutAndHelpShowTheirOneWindow()
{
    auto count = [](const QString &name) {
        int found = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            found += top->objectName() == name && top->isVisible();
        return found;
    };
    for (int k = 0; k < 2; ++k) {
        QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    }
    QCOMPARE(count(QStringLiteral("Form2")), 1);
    QCOMPARE(count(QStringLiteral("Form3")), 1);
    // They go with the composer window.
    delete window;
    window = nullptr;
    QCOMPARE(count(QStringLiteral("Form2")) + count(QStringLiteral("Form3")), 0);
}

// A paragraph that dropped its shaped text is shaped again at every blink of the
// cursor, which a very long line makes endless work; whatever way a paragraph comes
// into a box, it keeps it.
// A long paragraph keeps its shaped text however it came into a box: converted,
// typed into, pasted, broken in two.
void TestForm1::longParagraphsKeepTheirShapedText()
{
    const QString longLine = QStringLiteral("Barev Dzez ").repeated(200);
    convertText(QStringLiteral("vor\n") + longLine + QStringLiteral("\nBarev"), true);
    auto *input = child<QPlainTextEdit>("Text1");
    input->moveCursor(QTextCursor::End);
    QTest::keyClick(input, Qt::Key_Return);
    QTest::keyClicks(input, QStringLiteral("ye"));
    input->insertPlainText(QStringLiteral("a\n") + longLine + QStringLiteral("\nc"));
    // A short line typed on until it is long.
    QTest::keyClick(input, Qt::Key_Return);
    for (int k = 0; k < 110; ++k)
        QTest::keyClicks(input, QStringLiteral("barev dzez"));
    // The first long line broken in two long halves.
    QTextCursor middle(input->document()->findBlockByNumber(1));
    middle.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, int(longLine.size() / 2));
    input->setTextCursor(middle);
    QTest::keyClick(input, Qt::Key_Return);
    for (const char *name : {"Text1", "Text2"}) {
        const QTextDocument *document = child<QPlainTextEdit>(name)->document();
        int longOnes = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block.length() < 1000)
                continue;
            ++longOnes;
            QVERIFY2(block.layout()->cacheEnabled(), qPrintable(block.text().left(40)));
        }
        QCOMPARE(longOnes, name == std::string_view("Text1") ? 4 : 1);
    }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
