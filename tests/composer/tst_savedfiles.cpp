// Years of files written by Save come back as the text that was in the box, all at
// once through vesnor-convert, and each goes back to the very same bytes.

#include "composer/saver.h"
#include "tests/converter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest/QTest>

class TestSavedFiles : public QObject {
    Q_OBJECT

private slots:
    void aThousandSavedFilesComeBack();
};

void TestSavedFiles::aThousandSavedFilesComeBack()
{
    // Every byte's character, as --decode reads it, to build the texts from.
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            everyByte += char(b);
    }
    QTemporaryDir scratch;
    {
        QFile bytes(scratch.filePath("bytes"));
        QVERIFY(bytes.open(QIODevice::WriteOnly));
        bytes.write(everyByte);
    }
    const Run decodedBytes = run({"--decode", scratch.filePath("bytes")});
    QCOMPARE(decodedBytes.exitCode, 0);
    const QString every = QString::fromUtf8(decodedBytes.out);
    QCOMPARE(every.size(), everyByte.size());

    // 20 folders of 50 saves each: the whole series of names from "output.txt" to 49
    // times "new " in front, in each.
    QRandomGenerator random(29);
    static const QStringList words = {QString::fromUtf8("Բարև"), QString::fromUtf8("Ձեզ"),
        QString::fromUtf8("Երևան"), QString::fromUtf8("ուր"), QStringLiteral("Barev"),
        QString::fromUtf8("«ոչ»։"), QStringLiteral("\n"), QStringLiteral("\n\n"),
        QStringLiteral(" "), QStringLiteral("\t")};
    QTemporaryDir root;
    QHash<QString, QString> saved; // file -> the box's text
    for (int folder = 0; folder < 20; ++folder) {
        const QString path = root.filePath(QStringLiteral("letters %1").arg(folder));
        QVERIFY(QDir().mkpath(path));
        for (int k = 0; k < 50; ++k) {
            QString text;
            if (k % 10 != 3) {
                const int parts = int(random.bounded(1, 80));
                for (int p = 0; p < parts; ++p) {
                    text += random.bounded(3) == 0 ? every.at(int(random.bounded(every.size())))
                                                   : words.at(int(random.bounded(words.size())));
                }
            }
            if (folder == 0 && k == 0)
                text = every; // every letter in one file
            const Saver::Result result = Saver(path, QString()).save(text);
            QVERIFY2(result.saved, qPrintable(result.error));
            saved.insert(QDir(path).filePath(result.fileName), text);
        }
    }
    QCOMPARE(saved.size(), 1000);

    const Run batch = run({"--decode", "--recursive", root.path()});
    QCOMPARE(batch.err, QByteArray());
    QCOMPARE(batch.exitCode, 0);
    const QStringList lines = QString::fromUtf8(batch.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1000);
    int roundTrips = 0;
    for (QString line : lines) {
        line.replace('\\', '/');
        const QString source = line.section(QStringLiteral(" -> "), 0, 0);
        const QString target = line.section(QStringLiteral(" -> "), 1);
        QVERIFY2(saved.contains(source), qPrintable(line));
        QVERIFY2(target.endsWith(QStringLiteral(".utf8.txt")), qPrintable(line));
        // The box holds line breaks as LF; so does the decoded text.
        QCOMPARE(QString::fromUtf8(readFile(target)), saved.value(source));
        saved.remove(source);
        // And back to the saved bytes, for one file in ten.
        if (roundTrips++ % 10 == 0) {
            const Run back = run({"--encode", target});
            QCOMPARE(back.exitCode, 0);
            QCOMPARE(back.out, readFile(source));
        }
    }
    QVERIFY(saved.isEmpty());
}

QTEST_GUILESS_MAIN(TestSavedFiles)
#include "tst_savedfiles.moc"
