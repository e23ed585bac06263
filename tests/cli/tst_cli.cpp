// vesnor-convert run as a user runs it: real process, real pipes and files.

#include "tests/converter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <random>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

constexpr int kChunk = 1 << 16; // the converter's read size

const QByteArray kHead("To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

// The report names the files it found with the system's separators.
QStringList reportLines(const QByteArray &out)
{
    QString text = QString::fromUtf8(out).remove('\r');
#ifdef Q_OS_WIN
    text.replace('\\', '/');
#endif
    return text.split('\n');
}

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
    void decodeAndEncodeRoundTrip();
    void versionNamesTheLicence();
    void versionNamesTheKernel();
    void everyKernelWritesTheSameBytes_data();
    void everyKernelWritesTheSameBytes();
    void decodeWritesBesideEachFile();
    void decodeNamesFitTheFileSystem();
    void decodeRefusesWhatCannotBeReadTwice();

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
    // Notepad's files open with a byte-order mark: the first word is still one.
    QTest::newRow("a leading byte-order mark is dropped")
        << QStringList() << QByteArray("\xEF\xBB\xBFvonc es") << QByteArray("ոնց ես");
    QTest::newRow("--arm-eng drops it too")
        << QStringList{"--arm-eng"} << QByteArray("\xEF\xBB\xBFոն") << QByteArray("von");
    QTest::newRow("a mark inside the text stays") << QStringList()
                                                  << QByteArray("a\xEF\xBB\xBF"
                                                                "b")
                                                  << QByteArray("ա\xEF\xBB\xBFբ");

    QTest::newRow("--decode: a saved file without its head, CR LF as LF")
        << QStringList{"--decode"} << kHead + "\xB4\xB3\xF1\xA8\r\n\xBA\xF1\xA8\xB3\xDD"
        << QByteArray("Բարև\nԵրևան");
    QTest::newRow("--decode --keep-header")
        << QStringList{"--decode", "--keep-header"} << kHead + "\xB4"
        << QByteArray("To open this text in Word use Unicode UTF-7 encoding. \n\nԲ");
    QTest::newRow("--decode: no transliteration")
        << QStringList{"--decode"} << QByteArray("Barev vonc") << QByteArray("Barev vonc");
    QTest::newRow("--encode: the head, 8-bit text, CR LF")
        << QStringList{"--encode"} << QByteArray("Բարև\nԵրևան")
        << kHead + "\xB4\xB3\xF1\xA8\r\n\xBA\xF1\xA8\xB3\xDD";
    QTest::newRow("--encode of nothing: the head alone")
        << QStringList{"--encode"} << QByteArray() << kHead;
    QTest::newRow("--encode drops a file's byte-order mark") << QStringList{"--encode"}
                                                             << QByteArray("\xEF\xBB\xBF"
                                                                           "a")
                                                             << kHead + "a";
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
    QTest::addColumn<QString>("message"); // the first line on standard error
    QTest::addColumn<QByteArray>("out"); // null where it does not matter
    const auto row = [](const char *name, const QStringList &args, const QByteArray &input,
                         int exitCode, const QString &message, const QByteArray &out = {}) {
        QTest::newRow(name) << args << input << exitCode << message << out;
    };

    row("unknown option", {"--fast"}, {}, 2, "vesnor-convert: unknown option '--fast'");
    row("two files", {"a", "b"}, {}, 2, "vesnor-convert: only one FILE may be given");
    row("missing file", {"/nonexistent/in.txt"}, {}, 1,
        "vesnor-convert: /nonexistent/in.txt: No such file or directory");
    row("a directory", {"/"}, {}, 1, "vesnor-convert: /: Is a directory");
    row("a direction with --decode", {"--decode", "--arm-eng"}, {}, 2,
        "vesnor-convert: choose one of --eng-arm, --arm-eng, --decode and --encode");
    row("both directions", {"--eng-arm", "--arm-eng"}, {}, 2,
        "vesnor-convert: choose one of --eng-arm, --arm-eng, --decode and --encode");
    row("--8bit with --decode", {"--decode", "--8bit"}, {}, 2,
        "vesnor-convert: --8bit goes with --eng-arm or --arm-eng");
    row("--keep-header alone", {"--keep-header"}, {}, 2,
        "vesnor-convert: --keep-header goes with --decode");
    row("--lossy with --decode", {"--decode", "--lossy"}, {}, 2,
        "vesnor-convert: --lossy goes with --encode");
    row("--recursive without a folder", {"--decode", "--recursive"}, {}, 2,
        "vesnor-convert: --recursive needs a FOLDER");
    row("two files to encode", {"--encode", "a", "b"}, {}, 2,
        "vesnor-convert: only one FILE may be given");
    row("standard input in a batch", {"--decode", "a", "-"}, {}, 2,
        "vesnor-convert: standard input cannot be written beside itself: give FILEs");
    row("a folder to decode without --recursive", {"--decode", "/", "/nonexistent"}, {}, 1,
        "vesnor-convert: /: Is a directory (--recursive decodes a folder)");
    row("invalid UTF-8", {}, QByteArray("Barev\xFF"), 1,
        "vesnor-convert: standard input: invalid UTF-8 at byte offset 5", QByteArray("Բարև"));
    row("invalid UTF-8 after the first chunk", {}, QByteArray(kChunk + 10, 'a') + "\xC3", 1,
        QString("vesnor-convert: standard input: invalid UTF-8 at byte offset %1")
            .arg(kChunk + 10));
    row("--encode: a character without an 8-bit code", {"--encode"}, QByteArray("Բա…x"), 1,
        "vesnor-convert: standard input: U+2026 (…) at byte offset 4 has no 8-bit code; "
        "--lossy writes such characters as ?",
        kHead + "\xB4\xB3");
    row("--encode: far into the text", {"--encode"}, QByteArray(kChunk + 5, 'a') + "😀", 1,
        QString("vesnor-convert: standard input: U+1F600 (😀) at byte offset %1 has no 8-bit "
                "code; --lossy writes such characters as ?")
            .arg(kChunk + 5),
        kHead + QByteArray(kChunk + 5, 'a'));
    row("--encode: invalid UTF-8", {"--encode"}, QByteArray("ab\xFF"), 1,
        "vesnor-convert: standard input: invalid UTF-8 at byte offset 2", kHead + "ab");
    row("--lossy counts what it replaced", {"--encode", "--lossy"}, QByteArray("“Բ” …"), 0,
        "vesnor-convert: standard input: 3 characters without an 8-bit code written as ?",
        kHead + "?\xB4? ?");
}

void TestCli::failures()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QByteArray, out);

    const Run result = run(args, input);
    QCOMPARE(result.exitCode, exitCode);
    const QString firstLine = QString::fromUtf8(result.err).section('\n', 0, 0);
    QCOMPARE(firstLine, message);
    if (!out.isNull())
        QCOMPARE(result.out, out);
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

// Text the 8-bit file can hold comes back from --encode through --decode, and a
// saved file comes back from --decode through --encode.
void TestCli::decodeAndEncodeRoundTrip()
{
    QByteArray every;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            every += char(b);
    }
    const QByteArray saved = kHead + every + "\r\n\r\n" + every;
    const Run text = run({"--decode"}, saved);
    QCOMPARE(text.exitCode, 0);
    QVERIFY(!text.out.contains('\r'));
    const Run back = run({"--encode"}, text.out);
    QCOMPARE(back.err, QByteArray());
    QCOMPARE(back.exitCode, 0);
    QCOMPARE(back.out, saved);
    QCOMPARE(run({"--decode"}, back.out).out, text.out);
}

void TestCli::decodeWritesBesideEachFile()
{
    QTemporaryDir root;
    const QDir folder(root.path());
    QVERIFY(folder.mkpath("letters/2009"));
    writeFile(folder.filePath("letters/output.txt"), kHead + "\xB4\xB3\xF1\xA8");
    writeFile(folder.filePath("letters/new output.txt"), kHead);
    writeFile(folder.filePath("letters/2009/Yerevan.TXT"), "\xBA\xF1\xA8\xB3\xDD\r\n");
    writeFile(folder.filePath("letters/2009/notes"), "plain ASCII");
    writeFile(folder.filePath("letters/2009/unicode.txt"), "Բարև");
    writeFile(folder.filePath("letters/2009/picture.png"), QByteArray("\x89PNG\0\0", 6));
    // Someone's own file under the name the decoded text would take.
    writeFile(folder.filePath("letters/output.utf8.txt"), "mine");

    const QString letters = folder.filePath("letters");
    Run result = run({"--decode", "--recursive", letters});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    const QString l = letters + "/";
    QCOMPARE(reportLines(result.out),
        QStringList({l + "2009/Yerevan.TXT -> " + l + "2009/Yerevan.utf8.txt",
            l + "2009/notes -> " + l + "2009/notes.utf8.txt",
            l + "2009/picture.png: skipped, not text",
            l + "2009/unicode.txt: skipped, already UTF-8",
            l + "new output.txt -> " + l + "new output.utf8.txt",
            l + "output.txt -> " + l + "new new output.utf8.txt",
            l + "output.utf8.txt: skipped, written by --decode", ""}));
    QCOMPARE(readFile(l + "2009/Yerevan.utf8.txt"), QByteArray("Երևան\n"));
    QCOMPARE(readFile(l + "2009/notes.utf8.txt"), QByteArray("plain ASCII"));
    QCOMPARE(readFile(l + "new output.utf8.txt"), QByteArray());
    QCOMPARE(readFile(l + "new new output.utf8.txt"), QByteArray("Բարև"));
    QCOMPARE(readFile(l + "output.utf8.txt"), QByteArray("mine"));

    // Files named one by one are decoded whatever they hold.
    result = run({"--decode", l + "2009/unicode.txt", l + "missing.txt", l + "output.txt"});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(
        result.err, ("vesnor-convert: " + l + "missing.txt: No such file or directory\n").toUtf8());
    QCOMPARE(reportLines(result.out),
        QStringList({l + "2009/unicode.txt: skipped, already UTF-8",
            l + "output.txt -> " + l + "new new new output.utf8.txt", ""}));
}

// Save's series grows to names of 254 bytes; the decoded name of the last one would
// not fit and is numbered instead.
void TestCli::decodeNamesFitTheFileSystem()
{
#ifdef Q_OS_WIN
    QSKIP("Windows paths end at 260 characters, long before Save's series reaches 255");
#endif
    QTemporaryDir root;
    QString name = QStringLiteral("output.txt");
    QStringList names;
    while (name.size() <= 255) {
        writeFile(root.filePath(name), kHead + "\xB3" + QByteArray::number(name.size()));
        names << name;
        name.prepend("new ");
    }
    const Run result = run({"--decode", "--recursive", root.path()});
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.count("->"), names.size());
    for (const QString &line : reportLines(result.out)) {
        if (line.isEmpty())
            continue;
        const QString source = line.section(" -> ", 0, 0);
        const QString target = line.section(" -> ", 1);
        QVERIFY2(QFileInfo(target).fileName().toUtf8().size() <= 255, qPrintable(target));
        QCOMPARE(readFile(target), "ա" + QByteArray::number(QFileInfo(source).fileName().size()));
    }
}

// A batch reads each file twice, to tell what it holds and to decode it; a pipe
// would give all to the first reading and be written empty.
void TestCli::decodeRefusesWhatCannotBeReadTwice()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no named pipes in its folders");
#else
    QTemporaryDir root;
    const QString pipe = root.filePath("p.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    writeFile(root.filePath("q.txt"), kHead + "\xB4");
    const Run result = run({"--decode", pipe, root.filePath("q.txt")});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err,
        "vesnor-convert: " + QFile::encodeName(pipe)
            + ": not a regular file, which --decode reads twice in a batch; 'vesnor-convert "
              "--decode FILE > NEW' reads it once\n");
    QCOMPARE(reportLines(result.out),
        QStringList({root.filePath("q.txt") + " -> " + root.filePath("q.utf8.txt"), ""}));
    QVERIFY(!QFileInfo::exists(root.filePath("p.utf8.txt")));
#endif
}

void TestCli::versionNamesTheLicence()
{
    const Run result = run({"--version"});
    QCOMPARE(result.exitCode, 0);
    const QStringList lines = QString::fromUtf8(result.out).split('\n');
    QCOMPARE(lines.front(), QStringLiteral("vesnor-convert " VESNOR_VERSION));
    QVERIFY2(result.out.contains("MIT licence"), result.out.constData());
    QVERIFY(result.out.contains("The Vesnor developers"));
}

// The kernel in use is named, and VESNOR_KERNEL chooses it where the processor has
// it; a name it cannot run leaves the best one in use and says so, once.
void TestCli::versionNamesTheKernel()
{
    const Run best = run({"--version"}, {}, {}, QStringLiteral(""));
    const QByteArray bestLine = best.out.split('\n').value(3);
    QVERIFY2(bestLine.startsWith("Kernel: "), best.out.constData());
    QCOMPARE(best.err, QByteArray());
    const Run misspelt = run({"--version"}, {}, {}, QStringLiteral("no-such"));
    QCOMPARE(misspelt.out.split('\n').value(3), bestLine);
    QCOMPARE(misspelt.err,
        "vesnor: VESNOR_KERNEL=no-such: no such kernel (portable, avx2, avx512); the "
            + bestLine.mid(8).split(' ').value(0) + " kernel runs instead\n");
    const Run converted = run({}, QByteArray(200000, 'a'), {}, QStringLiteral("no-such"));
    QCOMPARE(converted.exitCode, 0);
    QCOMPARE(converted.err, misspelt.err);
    QCOMPARE(
        run({"--version"}, {}, {}, QStringLiteral("portable")).out.split('\n').value(3).left(16),
        QByteArray("Kernel: portable"));
}

// Every kernel this processor has writes the same bytes as the portable one, in
// each direction and output, over a text long enough for many chunks: Latin words
// with the curly quotes and dashes of real prose, Armenian with its punctuation,
// and characters no 8-bit byte holds.
void TestCli::everyKernelWritesTheSameBytes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("armenian");
    QTest::newRow("Latin to Armenian") << QStringList{"--eng-arm"} << false;
    QTest::newRow("Latin to Armenian, 8-bit") << QStringList{"--eng-arm", "--8bit"} << false;
    QTest::newRow("Armenian to Latin") << QStringList{"--arm-eng"} << true;
    QTest::newRow("Armenian to Latin, 8-bit") << QStringList{"--arm-eng", "--8bit"} << true;
}

void TestCli::everyKernelWritesTheSameBytes()
{
    QFETCH(QStringList, args);
    QFETCH(bool, armenian);
    const QStringList latinWords = {"Barev", "Dzez,", "vochinch", "’s", "Yerevan", "—", "urakh",
        "shnorhakalutyun", "ev", "o", "Ov", "«tun»", "😀", "жук", "1A\x1a", "\t", "\r\n", "vo"};
    const QStringList armenianWords = {"Բարև", "Ձեզ,", "ոչինչ", "Երևան։", "«տուն»", "—", "ուրախ",
        "եվ", "օ", "Ով", "՝", "😀", "жук", "é", "\u00A0", "\t", "\r\n", "ու"};
    const QStringList &words = armenian ? armenianWords : latinWords;
    QString text;
    std::mt19937 rng(17);
    std::uniform_int_distribution<qsizetype> pick(0, words.size() - 1);
    while (text.size() < 400000)
        text += words[pick(rng)] + (pick(rng) % 3 ? QStringLiteral(" ") : QString());
    const QByteArray input = text.toUtf8();

    const Run portable = run(args, input, {}, QStringLiteral("portable"));
    QCOMPARE(portable.exitCode, 0);
    QVERIFY(portable.out.size() > input.size() / 2);
    for (const QString kernel : {"avx2", "avx512"}) {
        const Run other = run(args, input, {}, kernel);
        QCOMPARE(other.exitCode, 0);
        QVERIFY2(other.out == portable.out, qPrintable(kernel));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
