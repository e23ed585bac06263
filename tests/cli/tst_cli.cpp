// vesnor-convert run as a user runs it: real process, real pipes and files.

#include "tests/converter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QStringList &args, const QByteArray &input = {}, const QString &stdoutFile = {})
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(converter(), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    // Messages are text: on Windows their lines end in CR LF.
    result.err = process.readAllStandardError().replace("\r\n", "\n");
    return result;
}

constexpr int kChunk = 1 << 17; // the converter's read size

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void failures_data();
    void failures();
    void tokensAcrossTheReadChunk_data();
    void tokensAcrossTheReadChunk();
    void invalidUtf8KeepsWhatCameBefore_data();
    void invalidUtf8KeepsWhatCameBefore();
    void eightBitAgreesWithUtf8_data();
    void eightBitAgreesWithUtf8();
    void readsTheNamedFile();
    void writeFailureIsReported_data();
    void writeFailureIsReported();

private:
    QTemporaryDir dir;
};

void TestCli::conversions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("Latin to Armenian is the default")
        << QStringList() << QByteArray("Barev Dzez\n") << QByteArray("Բարև Ձեզ\n");
    QTest::newRow("Armenian to Latin")
        << QStringList{"--arm-eng"} << QByteArray("Բարև Ձեզ\r\n") << QByteArray("Barev DZez\r\n");
    QTest::newRow("dash reads standard input")
        << QStringList{"--eng-arm", "-"} << QByteArray("Yerevan") << QByteArray("Երևան");
    QTest::newRow("8-bit in and out")
        << QStringList{"--8bit"} << QByteArray("Barev") << QByteArray("\xB4\xB3\xF1\xA8");
    QTest::newRow("characters without an 8-bit code come through")
        << QStringList() << QByteArray("Жt😀h") << QByteArray("Жտ😀հ");
    QTest::newRow("empty input") << QStringList() << QByteArray() << QByteArray();
    QTest::newRow("--version") << QStringList{"--version"} << QByteArray()
                               << QByteArray("vesnor-convert 2.02\n");
}

void TestCli::conversions()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);

    const Run result = run(args, input);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, expected);
}

void TestCli::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown option")
        << QStringList{"--fast"} << QByteArray() << 2 << "vesnor-convert: unknown option '--fast'";
    QTest::newRow("two files") << QStringList{"a", "b"} << QByteArray() << 2
                               << "vesnor-convert: only one FILE may be given";
    QTest::newRow("missing file")
        << QStringList{"/nonexistent/in.txt"} << QByteArray() << 1
        << "vesnor-convert: /nonexistent/in.txt: No such file or directory";
    QTest::newRow("a directory") << QStringList{"/"} << QByteArray() << 1
                                 << "vesnor-convert: /: Is a directory";
    QTest::newRow("invalid UTF-8")
        << QStringList() << QByteArray("Barev\xFF") << 1
        << "vesnor-convert: standard input: invalid UTF-8 at byte offset 5";
    QTest::newRow("invalid UTF-8 after the first chunk")
        << QStringList() << QByteArray(kChunk + 10, 'a') + "\xC3" << 1
        << QString("vesnor-convert: standard input: invalid UTF-8 at byte offset %1")
               .arg(kChunk + 10);
}

void TestCli::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    const Run result = run(args, input);
    QCOMPARE(result.exitCode, exitCode);
    const QString firstLine = QString::fromUtf8(result.err).section('\n', 0, 0);
    QCOMPARE(firstLine, message);
}

void TestCli::tokensAcrossTheReadChunk_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QByteArray>("expectedTail");

    // The filler puts the first byte of the tail last in the first read chunk.
    QTest::newRow("digraph") << QStringList() << QByteArray(" th") << QByteArray(" թ");
    QTest::newRow("word start") << QStringList() << QByteArray(" vo") << QByteArray(" ո");
    QTest::newRow("two-byte UTF-8 letter")
        << QStringList{"--arm-eng"} << QByteArray("\xD5") + QByteArray("\xB8\xD6\x82")
        << QByteArray("u");
    QTest::newRow("8-bit pair") << QStringList{"--arm-eng", "--8bit"} << QByteArray("\xE1\xF5")
                                << QByteArray("u");
}

void TestCli::tokensAcrossTheReadChunk()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, tail);
    QFETCH(QByteArray, expectedTail);

    const QByteArray filler(kChunk - 1, 'x');
    const QByteArray fillerOut
        = args.contains("--arm-eng") ? filler : QByteArray(kChunk - 1, 'x').replace("x", "խ");
    const Run result = run(args, filler + tail);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith(fillerOut));
    QCOMPARE(result.out.mid(fillerOut.size()), expectedTail);
}

// Everything before the first invalid byte is written, wherever the read chunks
// happen to fall, and the last letter before it ends the text.
void TestCli::invalidUtf8KeepsWhatCameBefore_data()
{
    QTest::addColumn<int>("offset");
    for (const int offset : {0, 5, kChunk - 3, kChunk - 1, kChunk, kChunk + 1, 2 * kChunk + 7})
        QTest::addRow("invalid byte at %d", offset) << offset;
}

void TestCli::invalidUtf8KeepsWhatCameBefore()
{
    QFETCH(int, offset);
    QByteArray input(offset, 'x');
    if (offset > 0)
        input[offset - 1] = 't'; // could pair with an h that never comes
    const Run result = run({}, input + "\xFF" + QByteArray(100, 'x'));
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err,
        QString("vesnor-convert: standard input: invalid UTF-8 at byte offset %1\n")
            .arg(offset)
            .toUtf8());
    QByteArray expected = QString::fromUtf8("խ").repeated(qMax(0, offset - 1)).toUtf8();
    if (offset > 0)
        expected += "տ";
    QCOMPARE(result.out.size(), expected.size());
    QCOMPARE(result.out, expected);
}

void TestCli::eightBitAgreesWithUtf8_data()
{
    QTest::addColumn<QByteArray>("latin");
    QTest::newRow("words and rules")
        << QByteArray("Barev Dzez, vonc es? Yerevan@ & u| H|T tsh ssh CHch Ov oO\n");
    QTest::newRow("words at line starts, after tabs and no-break spaces")
        << QByteArray("Barev,\r\nvonc es?\nOv\tyes\rvo\xC2\xA0ye (vo (ov\n");
}

void TestCli::eightBitAgreesWithUtf8()
{
    QFETCH(QByteArray, latin);
    const QByteArray latin8 = QString::fromUtf8(latin).toLatin1();
    const Run eightBit = run({"--8bit"}, latin8);
    const Run unicode = run({}, latin);
    QCOMPARE(eightBit.exitCode, 0);
    QCOMPARE(unicode.exitCode, 0);
    // Back through --arm-eng: the 8-bit result and the UTF-8 result are the same text.
    QCOMPARE(run({"--arm-eng", "--8bit"}, eightBit.out).out,
        QString::fromUtf8(run({"--arm-eng"}, unicode.out).out).toLatin1());
    QVERIFY(unicode.out.size() > latin.size());
}

void TestCli::readsTheNamedFile()
{
    const QString path = dir.filePath("in.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Hayastan!");
    file.close();
    const Run result = run({path});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("Հայաստան!"));
}

void TestCli::writeFailureIsReported_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("redirect");
    QTest::addColumn<QString>("message");

    const QString full = QStringLiteral(">/dev/full");
    const QString closed = QStringLiteral(">&-");
    const QString noSpace = QStringLiteral("No space left on device");
    QTest::newRow("conversion into a full disk") << QStringList() << full << noSpace;
    QTest::newRow("help into a full disk") << QStringList{"--help"} << full << noSpace;
    QTest::newRow("version into a full disk") << QStringList{"--version"} << full << noSpace;
    QTest::newRow("conversion into a closed output")
        << QStringList() << closed << "Bad file descriptor";
    QTest::newRow("help into a closed output")
        << QStringList{"--help"} << closed << "Bad file descriptor";
}

void TestCli::writeFailureIsReported()
{
#ifdef Q_OS_WIN
    QSKIP("needs a POSIX shell, /dev/full and closing a descriptor with >&-");
#endif
    QFETCH(QStringList, args);
    QFETCH(QString, redirect);
    QFETCH(QString, message);

    QProcess shell;
    shell.start(QStringLiteral("sh"),
        QStringList{"-c", QStringLiteral("echo Barev | \"$0\" \"$@\" ") + redirect, converter()}
            + args);
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitCode(), 1);
    QCOMPARE(shell.readAllStandardError(),
        QString("vesnor-convert: standard output: %1\n").arg(message).toUtf8());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
