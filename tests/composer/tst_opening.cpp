// Files into the composer window: opened by name (the command line) or dropped onto
// either box, always into Text1.

#include "composer/form1.h"
#include "composer/opener.h"
#include "composer/saver.h"
#include "tests/messageboxes.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest/QTest>

namespace {

const QByteArray kHead("To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n");
const QString kPrompt = QStringLiteral("Enter translit text");

} // namespace

class TestOpening : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensIntoTheInputBox_data();
    void opensIntoTheInputBox();
    void refusesWhatIsNoText_data();
    void refusesWhatIsNoText();
    void savedFileOpensAsItWasSaved();
    void drops_data();
    void drops();

private:
    template<typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QString write(const QString &name, const QByteArray &bytes);

    Form1 *window = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestOpening::init()
{
    window = new Form1;
    dir = new QTemporaryDir;
    window->setSaveFolders(dir->path(), dir->filePath("Documents"));
    child<QPlainTextEdit>("Text2")->setPlainText(QStringLiteral("an earlier result"));
    child<QRadioButton>("armeng")->setChecked(true);
}

void TestOpening::cleanup()
{
    delete window;
    delete dir;
}

QString TestOpening::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

void TestOpening::opensIntoTheInputBox_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("UTF-8 Latin") << QByteArray("Barev Dzez,\r\nvonc es?")
                                 << "Barev Dzez,\nvonc es?";
    QTest::newRow("UTF-8 Armenian behind a byte-order mark")
        << QByteArray("\xEF\xBB\xBFԲարև Ձեզ") << "Բարև Ձեզ";
    QTest::newRow("a saved file: header dropped, letters decoded")
        << kHead + "\xB4\xB3\xF1\xA8\r\n\xBA\xF1\xA8\xB3\xDD"
        << "Բարև\nԵրևան";
    QTest::newRow("a saved body that happens to be valid UTF-8")
        << kHead + "\xCF\xB3" << QString::fromUtf8("կա");
    QTest::newRow("8-bit text without the header")
        << QByteArray("\xE1\xF5\xF1 \xA7\xB3\xA6") << QString::fromUtf8("ուր «ա»");
    QTest::newRow("UTF-16 as Windows' Notepad writes it") << QByteArray(
        "\xFF\xFE\x31\x05\x0D\x00\x0A\x00"
        "a\x00",
        10) << QString::fromUtf8("Ա\na");
    QTest::newRow("an empty file empties the box") << QByteArray() << "";
}

void TestOpening::opensIntoTheInputBox()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    MessageBoxes boxes;
    window->openFile(write("letter.txt", bytes));
    auto *text1 = child<QPlainTextEdit>("Text1");
    QCOMPARE(text1->toPlainText(), text);
    QCOMPARE(boxes.texts, QStringList());
    // Nothing else in the window changes.
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("an earlier result"));
    QVERIFY(child<QRadioButton>("armeng")->isChecked());
    // The text arrived as one edit: one undo brings the box back.
    text1->undo();
    QCOMPARE(text1->toPlainText(), kPrompt);
}

void TestOpening::refusesWhatIsNoText_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");

    QTest::newRow("NUL bytes") << "nul"
                               << "\u201Cpicture.png\u201D is not a text file: it holds NUL bytes.";
    QTest::newRow("too large")
        << "large"
        << "\u201Chuge.txt\u201D is too large to open: 64.0 MiB. The composer "
           "opens files of up to 64 MiB.";
    // The reason is the system's own words, which differ from system to system.
    QTest::newRow("missing") << "missing"
                             << "gone.txt\u201D could not be opened: ";
    QTest::newRow("a folder") << "folder"
                              << "\u201Cfolder\u201D is a folder, not a file.";
}

void TestOpening::refusesWhatIsNoText()
{
    QFETCH(QString, what);
    QFETCH(QString, message);

    QString path;
    if (what == "nul") {
        path = write("picture.png", QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    } else if (what == "large") {
        // A sparse file: its size is all that counts, and it costs no disk.
        path = write("huge.txt", "Barev");
        QVERIFY(QFile::resize(path, Opener::kLargest + 1));
    } else if (what == "missing") {
        path = dir->filePath("gone.txt");
    } else {
        path = dir->filePath("folder");
        QVERIFY(QDir(dir->path()).mkdir("folder"));
    }

    MessageBoxes boxes;
    window->openFile(path);
    QTRY_COMPARE(boxes.titles, QStringList{"Open"});
    QVERIFY2(boxes.texts.front().contains(message), qPrintable(boxes.texts.front()));
    QCOMPARE(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
    auto *text1 = child<QPlainTextEdit>("Text1");
    QCOMPARE(text1->toPlainText(), kPrompt);
    QVERIFY(!text1->document()->isUndoAvailable());
}

// What Save wrote comes back into the window as the text that was in the box, with
// every character the 8-bit text holds.
void TestOpening::savedFileOpensAsItWasSaved()
{
    QString text
        = QString::fromUtf8("Բարև Ձեզ,\nոնց ես? «Երևան» ։ ՝ ՜ ՛ ՞ ՚ ֊\n\n\u001A ¤ © ÿ\tend");
    for (int b = 0x20; b < 0x7F; ++b)
        text += QChar(b);
    const Saver::Result saved = Saver(dir->path(), QString()).save(text);
    QVERIFY(saved.saved);
    window->openFile(dir->filePath(saved.fileName));
    QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(), text);
}

void TestOpening::drops_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("plainText");
    QTest::addColumn<Qt::DropActions>("offered");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("message");

    const QString letter = QString::fromUtf8("Բարև");
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::newRow("a file onto the input box")
        << "Text1" << 1 << false << copyOrMove << true << letter << "";
    QTest::newRow("a file onto the output box goes into the input box")
        << "Text2" << 1 << false << copyOrMove << true << letter << "";
    QTest::newRow("a file offered only to be moved is left where it is")
        << "Text1" << 1 << false << Qt::DropActions(Qt::MoveAction) << false << kPrompt << "";
    QTest::newRow("two files at once") << "Text2" << 2 << false << copyOrMove << true << kPrompt
                                       << "Drop one file at a time: the input box holds one text.";
    QTest::newRow("dropped words are still typed in where they fall")
        << "Text1" << 0 << true << copyOrMove << true << "dropped words" + kPrompt << "";
}

void TestOpening::drops()
{
    QFETCH(QString, box);
    QFETCH(int, files);
    QFETCH(bool, plainText);
    QFETCH(Qt::DropActions, offered);
    QFETCH(bool, accepted);
    QFETCH(QString, text1);
    QFETCH(QString, message);

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QMimeData mime;
    QList<QUrl> urls;
    for (int k = 0; k < files; ++k)
        urls << QUrl::fromLocalFile(
            write(QStringLiteral("saved%1.txt").arg(k), kHead + "\xB4\xB3\xF1\xA8"));
    if (!urls.isEmpty())
        mime.setUrls(urls);
    if (plainText)
        mime.setText(QStringLiteral("dropped words"));

    MessageBoxes boxes;
    QWidget *target = child<QPlainTextEdit>(qPrintable(box))->viewport();
    const QPoint at(2, 2);
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    if (accepted && !plainText)
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDragMoveEvent move(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QCOMPARE(move.isAccepted(), accepted);
    if (accepted) {
        QDropEvent drop(QPointF(at), offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        if (!plainText)
            QCOMPARE(drop.dropAction(), Qt::CopyAction);
    }
    if (!message.isEmpty())
        QTRY_COMPARE(boxes.texts, QStringList{message});
    else
        QCOMPARE(boxes.texts, QStringList());
    QCOMPARE(child<QPlainTextEdit>("Text1")->toPlainText(), text1);
    QCOMPARE(child<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("an earlier result"));
}

QTEST_MAIN(TestOpening)
#include "tst_opening.moc"
