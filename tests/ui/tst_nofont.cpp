// A machine with no font that has Armenian letters: the program says so, once.

#include "tests/messageboxes.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QtTest/QTest>

class TestNoFont : public QObject {
    Q_OBJECT

private slots:
    void saysWhatToInstall();
};

void TestNoFont::saysWhatToInstall()
{
    QVERIFY(QFontDatabase::families(QFontDatabase::Armenian).isEmpty());
    MessageBoxes boxes;
    QVERIFY(warnIfNoArmenianFont(nullptr));
    QTRY_COMPARE(boxes.titles, QStringList{"No Armenian font"});
    QVERIFY(boxes.texts.front().contains("sudo apt install fonts-dejavu-core"));
    QCOMPARE(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
}

// The font list is read once per process, before the first window: the fonts this
// test may see are set up before the application starts.
int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    QDir(scratch.path()).mkdir("fonts");
    QFile config(scratch.filePath("fonts.conf"));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                 "<fontconfig><dir>"
        + scratch.filePath("fonts").toUtf8() + "</dir><cachedir>"
        + scratch.filePath("cache").toUtf8() + "</cachedir></fontconfig>\n");
    config.close();
    qputenv("FONTCONFIG_FILE", config.fileName().toUtf8());
    QApplication app(argc, argv);
    TestNoFont test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nofont.moc"
