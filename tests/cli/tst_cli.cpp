// vesnor-convert run as a user runs it: real process, real pipes and files.

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
    process.start(QStringLiteral(VESNOR_CONVERT), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
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
    void eightBitAgreesWithUtf8();
    void readsTheNamedFile();
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

void TestCli::eightBitAgreesWithUtf8()
{
    const QByteArray latin = "Barev Dzez, vonc es? Yerevan@ & u| H|T tsh ssh CHch Ov oO\n";
    const Run eightBit = run({"--8bit"}, latin);
    const Run unicode = run({}, latin);
    QCOMPARE(eightBit.exitCode, 0);
    QCOMPARE(unicode.exitCode, 0);
    // Back through --arm-eng: the 8-bit result and the UTF-8 result are the same text.
    QCOMPARE(run({"--arm-eng", "--8bit"}, eightBit.out).out, run({"--arm-eng"}, unicode.out).out);
    QVERIFY(unicode.out.contains("Բարև"));
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

void TestCli::writeFailureIsReported()
{
    const Run result = run({}, "Barev", "/dev/full");
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QByteArray("vesnor-convert: standard output: No space left on device\n"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
