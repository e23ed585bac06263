#include "hex.h"
#include "pieces.h"
#include "vesnor/textfile.h"

#include "everykernel.h"

#include <QtTest/QTest>

#include <random>
#include <string>

namespace textfile = vesnor::textfile;

namespace {

const std::string kHead(textfile::kHead);

std::string decoded(
    std::string_view bytes, std::mt19937 &rng, std::size_t largest, bool keepHead = false)
{
    textfile::Decoder decoder(keepHead);
    std::string out;
    inRandomPieces(
        bytes, rng, largest, [&](std::string_view piece) { decoder.decode(piece, out); });
    decoder.finish(out);
    return out;
}

struct Encoded {
    std::string bytes;
    bool ok = true;
    textfile::Encoder::Error error = textfile::Encoder::Error::None;
    std::uint64_t offset = 0;
    std::uint64_t replaced = 0;
};

Encoded encoded(std::string_view utf8, std::mt19937 &rng, std::size_t largest,
    textfile::EncodeOptions options = {})
{
    textfile::Encoder encoder(options);
    Encoded result;
    inRandomPieces(utf8, rng, largest, [&](std::string_view piece) {
        result.ok = encoder.encode(piece, result.bytes) && result.ok;
    });
    result.ok = encoder.finish(result.bytes) && result.ok;
    result.error = encoder.report().error;
    result.offset = encoder.report().errorOffset;
    result.replaced = encoder.report().replaced;
    return result;
}

// Piece sizes: one byte at a time catches every boundary, the larger ones the
// ordinary paths.
const std::size_t kLargest[] = {1, 2, 3, 7, 64, 100000};

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { kernelRows(); }
    void init() { useKernelOfRow(); }
    void kinds_data();
    void kinds();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void encodeStopsAtTheFirstFault_data();
    void encodeStopsAtTheFirstFault();
    void lossyCountsWhatItReplaced();
    void roundTrips();
    void toText_data();
    void toText();
};

void TestTextFile::kinds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");

    const auto row = [](const char *name, const std::string &bytes, textfile::Kind kind) {
        QTest::newRow(name) << qb(bytes) << int(kind);
    };
    row("empty", "", textfile::Kind::Utf8);
    row("plain ASCII", "Barev Dzez\r\n", textfile::Kind::Utf8);
    row("UTF-8 Armenian", "Բարև", textfile::Kind::Utf8);
    row("UTF-8 behind its mark", "\xEF\xBB\xBFԲարև", textfile::Kind::Utf8);
    row("a saved file", kHead + h("B4 B3 F1 A8"), textfile::Kind::Saved);
    row("a saved empty box", kHead, textfile::Kind::Saved);
    // կա is CF B3, which happens to be valid UTF-8: the head decides.
    row("a saved body that is valid UTF-8", kHead + h("CF B3"), textfile::Kind::Saved);
    row("the header without its empty line is no head",
        std::string(textfile::kHeader) + "\r\nBarev", textfile::Kind::Utf8);
    row("8-bit letters without the head", h("B4 B3 F1 A8"), textfile::Kind::EightBit);
    row("a lead byte cut off at the end", "abc\xD5", textfile::Kind::EightBit);
    row("an overlong sequence", "\xC0\xAF", textfile::Kind::EightBit);
    row("a surrogate", "\xED\xA0\x80", textfile::Kind::EightBit);
    row("past U+10FFFF", "\xF4\x90\x80\x80", textfile::Kind::EightBit);
    row("a lead byte before ASCII", "\xE2\x80z", textfile::Kind::EightBit);
    row("NUL bytes", std::string("Barev\0Dzez", 10), textfile::Kind::Binary);
    row("a saved head and a NUL", kHead + std::string(1, '\0'), textfile::Kind::Saved);
    row("UTF-16 little-endian",
        std::string("\xFF\xFE"
                    "B\0a\0",
            6),
        textfile::Kind::Utf16);
    row("UTF-16 big-endian", std::string("\xFE\xFF\0B\0a", 6), textfile::Kind::Utf16);
    row("an odd length is no UTF-16",
        std::string("\xFF\xFE"
                    "B\0a",
            5),
        textfile::Kind::Binary);
}

void TestTextFile::kinds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);

    QCOMPARE(int(textfile::classify(bytes.toStdString())), kind);
    // In pieces of every size, as the converter reads files.
    std::mt19937 rng(7);
    for (const std::size_t largest : kLargest) {
        textfile::Sniffer sniffer;
        inRandomPieces(bytes.toStdString(), rng, largest,
            [&](std::string_view piece) { sniffer.feed(piece); });
        QCOMPARE(int(sniffer.kind()), kind);
    }
}

void TestTextFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("keepHead");
    QTest::addColumn<QByteArray>("expected");

    const auto row
        = [](const char *name, const std::string &bytes, bool keep, const std::string &expected) {
              QTest::newRow(name) << qb(bytes) << keep << qb(expected);
          };
    row("letters, the ligature and punctuation", h("B4 B3 F1 A8 20 A7 D2 BB BD A6 A3"), false,
        "Բարև «Ձեզ»։");
    row("the head is dropped", kHead + h("B4 B3 F1 A8"), false, "Բարև");
    row("or kept, its line breaks as LF", kHead + "a", true,
        std::string(textfile::kHeader) + "\n\na");
    row("a saved empty box", kHead, false, "");
    row("the head alone, shorter than the head", kHead.substr(0, 20), false, kHead.substr(0, 20));
    row("the head's line without its empty line stays", std::string(textfile::kHeader) + "\r\nab",
        false, std::string(textfile::kHeader) + "\nab");
    row("the head later in the text stays", "x" + kHead, false,
        "x" + std::string(textfile::kHeader) + "\n\n");
    row("CR LF becomes LF", h("'a' 0D 0A 0D 0A 'b' 0D 0A"), false, "a\n\nb\n");
    row("a lone CR stays", h("'a' 0D 'b' 0D"), false, "a\rb\r");
    row("CR CR LF", h("'a' 0D 0D 0A 'b'"), false, "a\r\nb");
    row("a lone LF stays", "a\nb", false, "a\nb");
    row("byte 1A is U+001A", h("'a' 1A 'b'"), false,
        "a\x1A"
        "b");
    row("Latin-1 bytes", h("80 A0 A9 FF"), false, "\u0080\u00A0©ÿ");
}

void TestTextFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, keepHead);
    QFETCH(QByteArray, expected);

    std::mt19937 rng(11);
    for (const std::size_t largest : kLargest)
        QCOMPARE(qb(decoded(bytes.toStdString(), rng, largest, keepHead)), expected);
}

void TestTextFile::encode_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<bool>("dropMark");
    QTest::addColumn<QByteArray>("body");

    const auto row
        = [](const char *name, const std::string &utf8, bool dropMark, const std::string &body) {
              QTest::newRow(name) << qb(utf8) << dropMark << qb(body);
          };
    row("empty: the head alone", "", false, "");
    row("letters and punctuation", "Բարև «Ձեզ»։", false, h("B4 B3 F1 A8 20 A7 D2 BB BD A6 A3"));
    row("LF becomes CR LF", "a\nb\n", false, h("'a' 0D 0A 'b' 0D 0A"));
    row("CR LF stays one break", "a\r\nb", false, h("'a' 0D 0A 'b'"));
    row("a lone CR is a break", "a\rb", false, h("'a' 0D 0A 'b'"));
    row("CR CR LF is two breaks", "a\r\r\nb", false, h("'a' 0D 0A 0D 0A 'b'"));
    row("LF CR is two breaks", "a\n\rb", false, h("'a' 0D 0A 0D 0A 'b'"));
    row("a paragraph separator is a break", "a\u2029b", false, h("'a' 0D 0A 'b'"));
    row("U+001A is byte 1A",
        "a\x1A"
        "b",
        false, h("'a' 1A 'b'"));
    row("a file's byte-order mark is dropped", "\uFEFFa", true, "a");
    row("the mark is a character of the box", "\uFEFFa", false, "?a");
}

void TestTextFile::encode()
{
    QFETCH(QByteArray, utf8);
    QFETCH(bool, dropMark);
    QFETCH(QByteArray, body);

    std::mt19937 rng(13);
    for (const std::size_t largest : kLargest) {
        const Encoded result = encoded(
            utf8.toStdString(), rng, largest, {.lossy = true, .dropByteOrderMark = dropMark});
        QVERIFY(result.ok);
        QCOMPARE(qb(result.bytes), qb(kHead) + body);
    }
}

void TestTextFile::encodeStopsAtTheFirstFault_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("before");

    const int missing = int(textfile::Encoder::Error::NoEightBitCode);
    const int invalid = int(textfile::Encoder::Error::InvalidUtf8);
    QTest::newRow("a character without a byte")
        << QByteArray("Բա…x") << missing << 4 << qb(h("B4 B3"));
    QTest::newRow("first of all") << QByteArray("Жx") << missing << 0 << QByteArray();
    QTest::newRow("a mark after the start is a character")
        << QByteArray("a\uFEFF") << missing << 1 << QByteArray("a");
    QTest::newRow("after a CR LF") << QByteArray("a\r\n😀") << missing << 3 << qb(h("'a' 0D 0A"));
    QTest::newRow("a character without a byte before invalid UTF-8")
        << QByteArray("ab—\xFF") << missing << 2 << QByteArray("ab");
    QTest::newRow("invalid UTF-8") << QByteArray("Բ\xFFx") << invalid << 2 << qb(h("B4"));
    QTest::newRow("a sequence cut off at the end")
        << QByteArray("ab\xD5") << invalid << 2 << QByteArray("ab");
}

void TestTextFile::encodeStopsAtTheFirstFault()
{
    QFETCH(QByteArray, utf8);
    QFETCH(int, error);
    QFETCH(int, offset);
    QFETCH(QByteArray, before);

    std::mt19937 rng(17);
    for (const std::size_t largest : kLargest) {
        // The same fault far into the text, beyond several pieces.
        const std::string filler(1000, 'x');
        const Encoded result = encoded(
            filler + utf8.toStdString(), rng, largest, {.lossy = false, .dropByteOrderMark = true});
        QVERIFY(!result.ok);
        QCOMPARE(int(result.error), error);
        QCOMPARE(result.offset, std::uint64_t(offset) + filler.size());
        QCOMPARE(qb(result.bytes), qb(kHead + filler) + before);
    }
}

void TestTextFile::lossyCountsWhatItReplaced()
{
    std::mt19937 rng(19);
    const Encoded result = encoded("«Բա…» “x” 😀\n", rng, 3, {.lossy = true});
    QVERIFY(result.ok);
    QCOMPARE(result.replaced, std::uint64_t(4));
    QCOMPARE(qb(result.bytes), qb(kHead + h("A7 B4 B3 3F A6 20 3F 'x' 3F 20 3F 0D 0A")));
}

// Every character the 8-bit text holds, in random texts with LF line breaks, comes
// back from its saved form; and every saved form comes back from its text.
void TestTextFile::roundTrips()
{
    std::mt19937 rng(23);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 3000);
    for (int round = 0; round < 200; ++round) {
        // A saved file's body: any byte but a CR or LF outside a CR LF pair.
        std::string body;
        const std::size_t n = length(rng);
        while (body.size() < n) {
            const int b = byte(rng);
            if (b == '\r' || b == '\n')
                body += "\r\n";
            else
                body.push_back(static_cast<char>(b));
        }
        const std::string saved = kHead + body;
        const std::string text = decoded(saved, rng, 1 + round % 300);
        QVERIFY(text.find('\r') == std::string::npos);
        const Encoded back = encoded(text, rng, 1 + round % 50);
        QVERIFY(back.ok);
        QCOMPARE(qb(back.bytes), qb(saved));
        QCOMPARE(qb(decoded(back.bytes, rng, 4096)), qb(text));
    }
}

void TestTextFile::toText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("text");

    const auto row = [](const char *name, const std::string &bytes, textfile::Kind kind,
                         const std::string &text) {
        QTest::newRow(name) << qb(bytes) << int(kind) << qb(text);
    };
    row("UTF-8 as it is", "Barev\r\nԲարև", textfile::Kind::Utf8, "Barev\r\nԲարև");
    row("UTF-8 without its mark",
        "\xEF\xBB\xBF"
        "Բարև",
        textfile::Kind::Utf8, "Բարև");
    row("a saved file without its head", kHead + h("B4 B3 F1 A8 0D 0A E1 ED"),
        textfile::Kind::Saved, "Բարև\nով");
    row("8-bit text without a head", h("BA F1 A8 B3 DD"), textfile::Kind::EightBit, "Երևան");
    row("UTF-16 little-endian with a pair", std::string("\xFF\xFE\x31\x05\x3D\xD8\x00\xDE", 8),
        textfile::Kind::Utf16, "Ա😀");
    row("UTF-16 big-endian", std::string("\xFE\xFF\x05\x61\x00\x0A", 6), textfile::Kind::Utf16,
        "ա\n");
    row("UTF-16 with a lone surrogate", std::string("\xFF\xFE\x00\xD8\x41\x00", 6),
        textfile::Kind::Utf16, "\uFFFDA");
    row("binary", std::string("\x89PNG\0\0", 6), textfile::Kind::Binary, "");
}

void TestTextFile::toText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QByteArray, text);

    const textfile::Text result = textfile::toText(bytes.toStdString());
    QCOMPARE(int(result.kind), kind);
    QCOMPARE(qb(result.utf8), text);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
