#include "composer/saver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

} // namespace

class TestSaver : public QObject {
    Q_OBJECT

private slots:
    void nameSeries_data();
    void nameSeries();
    void consecutiveSavesTakeTheNextName();
    void fileBytes_data();
    void fileBytes();
    void neverFollowsOrOverwritesWhatHoldsTheName();
    void unwritableApplicationDirectoryFallsBackToDocuments();
    void failureLeavesNothingBehind();
    void unencodableCharacters();
    void fullDiskNamesTheCause();
};

void TestSaver::nameSeries_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty directory") << QStringList() << "output.txt";
    QTest::newRow("only the one-prefix name exists")
        << QStringList{"new output.txt"} << "output.txt";
    QTest::newRow("gap at one prefix")
        << QStringList{"output.txt", "new new output.txt"} << "new output.txt";
    QTest::newRow("three taken") << QStringList{"output.txt", "new output.txt",
        "new new output.txt"} << "new new new output.txt";
}

void TestSaver::nameSeries()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    for (const QString &name : existing)
        touch(dir.filePath(name));
    const Saver::Result result = Saver(dir.path(), QString()).save(QStringLiteral("x"));
    QVERIFY(result.saved);
    QCOMPARE(result.fileName, expected);
    QCOMPARE(result.inDocuments, false);
    QCOMPARE(contentsOf(dir.filePath(expected)), Saver::header + "\r\n\r\nx");
    for (const QString &name : existing)
        QCOMPARE(contentsOf(dir.filePath(name)), QByteArray());
}

void TestSaver::consecutiveSavesTakeTheNextName()
{
    QTemporaryDir dir;
    const Saver saver(dir.path(), QString());
    QCOMPARE(saver.save(QStringLiteral("1")).fileName, QStringLiteral("output.txt"));
    QCOMPARE(saver.save(QStringLiteral("2")).fileName, QStringLiteral("new output.txt"));
    QCOMPARE(saver.save(QStringLiteral("3")).fileName, QStringLiteral("new new output.txt"));
    QCOMPARE(contentsOf(dir.filePath("output.txt")).right(1), QByteArray("1"));
    QCOMPARE(contentsOf(dir.filePath("new new output.txt")).right(1), QByteArray("3"));
}

void TestSaver::fileBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("empty box") << QString() << QByteArray();
    QTest::newRow("Armenian letters as 8-bit codes")
        << QString::fromUtf8("Բարև Ձեզ") << QByteArray("\xB4\xB3\xF1\xA8\x20\xD2\xBB\xBD");
    QTest::newRow("line breaks become CR LF")
        << QString::fromUtf8("ա\nբ\n") << QByteArray("\xB3\r\n\xB5\r\n");
    QTest::newRow("Armenian punctuation keeps its codes")
        << QString::fromUtf8("«Այո՛»։") << QByteArray("\xA7\xB2\xDB\xE1\xB0\xA6\xA3");
}

void TestSaver::fileBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, body);

    QTemporaryDir dir;
    QVERIFY(Saver(dir.path(), QString()).save(text).saved);
    const QByteArray saved = contentsOf(dir.filePath("output.txt"));
    QCOMPARE(
        saved, QByteArray("To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n") + body);
    QCOMPARE(saved.size(), 58 + body.size());
}

void TestSaver::neverFollowsOrOverwritesWhatHoldsTheName()
{
#ifdef Q_OS_WIN
    QSKIP("symbolic links are shortcuts on Windows");
#endif
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("planted.txt");
    // A dangling link looks free to an existence test that follows links.
    QVERIFY(QFile::link(target, dir.filePath("output.txt")));
    QVERIFY(QDir(dir.path()).mkdir("new output.txt"));

    const Saver::Result result = Saver(dir.path(), QString()).save(QStringLiteral("x"));
    QVERIFY(result.saved);
    QCOMPARE(result.fileName, QStringLiteral("new new output.txt"));
    QVERIFY(!QFile::exists(target));
    QVERIFY(QFileInfo(dir.filePath("output.txt")).isSymLink());
}

void TestSaver::unwritableApplicationDirectoryFallsBackToDocuments()
{
#ifdef Q_OS_WIN
    QSKIP("needs a folder no one can create (/proc)");
#endif
    QTemporaryDir documentsParent;
    const QString documents = documentsParent.filePath("Documents");
    // Tests may run as root, for whom permission bits are no obstacle; a directory
    // that cannot exist is unwritable for everyone.
    const Saver saver(QStringLiteral("/proc/vesnor-no-such-dir"), documents);
    const Saver::Result result = saver.save(QStringLiteral("x"));
    QVERIFY2(result.saved, qPrintable(result.error));
    QVERIFY(result.inDocuments);
    QCOMPARE(result.folder, documents);
    QCOMPARE(result.fileName, QStringLiteral("output.txt"));
    QCOMPARE(contentsOf(QDir(documents).filePath("output.txt")), Saver::header + "\r\n\r\nx");
    QCOMPARE(saver.save(QStringLiteral("y")).fileName, QStringLiteral("new output.txt"));
}

void TestSaver::failureLeavesNothingBehind()
{
#ifdef Q_OS_WIN
    QSKIP("counts open files in /proc/self/fd");
#endif
    const int before = openDescriptors();
    const Saver::Result result
        = Saver(QStringLiteral("/proc/vesnor-no-such-dir"), QStringLiteral("/proc/vesnor-nor-this"))
              .save(QStringLiteral("x"));
    QVERIFY(!result.saved);
    QVERIFY(result.error.contains(QStringLiteral("/proc/vesnor-no-such-dir")));
    QVERIFY(result.error.contains(QStringLiteral("/proc/vesnor-nor-this")));
    QCOMPARE(openDescriptors(), before);
}

void TestSaver::unencodableCharacters()
{
    const QString text = QString::fromUtf8("Բարև 😀 Жж 😀 “x”");
    QCOMPARE(Saver::unencodable(text), QString::fromUtf8("😀Жж“”"));
    QCOMPARE(Saver::fileContents(text).mid(58), QByteArray("\xB4\xB3\xF1\xA8 ? ?? ? ?x?"));
    QCOMPARE(Saver::unencodable(QString::fromUtf8("Բարև, a\n")), QString());
}

// A disk that fills up part-way through the file: the write comes back short
// before any error shows.
void TestSaver::fullDiskNamesTheCause()
{
#ifdef Q_OS_WIN
    QSKIP("mounts a small tmpfs");
#endif
    QTemporaryDir mountPoint;
    const auto mount = [&](const QStringList &args) {
        return QProcess::execute(QStringLiteral("mount"), args) == 0;
    };
    if (!mount({"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint.path()}))
        QSKIP("mounting a small disk needs root");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mountPoint.path()}); });

    const QString text(200000, QLatin1Char('a'));
    const Saver::Result result = Saver(mountPoint.path(), QString()).save(text);
    QVERIFY(!result.saved);
    QCOMPARE(result.error, QStringLiteral("No space left on device"));
    QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files), QStringList());

    // The documents folder serves, and the message gives the real reason.
    QTemporaryDir documents;
    const Saver::Result moved = Saver(mountPoint.path(), documents.path()).save(text);
    QVERIFY(moved.saved);
    QVERIFY(moved.inDocuments);
    QCOMPARE(moved.applicationError, QStringLiteral("No space left on device"));
}

QTEST_GUILESS_MAIN(TestSaver)
#include "tst_saver.moc"
