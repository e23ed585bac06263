#include "hex.h"
#include "pieces.h"
#include "vesnor/codec.h"
#include "vesnor/transliterator.h"
#include "vesnor/utf8.h"

#include "everykernel.h"
#include "reference.h"

#include <QtTest/QTest>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace codec = vesnor::codec;

namespace {

using vesnor::reference::utf8;

// Reads what is pending and keeps only what the reader left, as a stream does.
std::optional<std::uint64_t> readPending(vesnor::utf8::Reader &reader, std::string &pending,
    bool final, std::string &bytes, std::u32string &foreign)
{
    std::size_t used = 0;
    const auto error = reader.read(pending, final, bytes, foreign, used);
    pending.erase(0, used);
    return error;
}

// What a stream of UTF-8 fed to the reader in random pieces gives: the bytes and the
// characters set aside, up to the first invalid sequence, and where that was.
struct Read {
    std::string bytes;
    std::u32string foreign;
    std::optional<std::uint64_t> error;
};

Read readInPieces(std::string_view text, std::mt19937 &rng, std::size_t largest)
{
    vesnor::utf8::Reader reader;
    std::string pending;
    Read read;
    inRandomPieces(text, rng, largest, [&](std::string_view piece) {
        if (read.error)
            return;
        pending += piece;
        read.error = readPending(reader, pending, false, read.bytes, read.foreign);
    });
    if (!read.error)
        read.error = readPending(reader, pending, true, read.bytes, read.foreign);
    return read;
}

// Unicode text through the engine, as the windows do it.
std::u32string convertUnicode(bool engArm, std::u32string_view text)
{
    const codec::EightBitText in = vesnor::reference::encode(text);
    static vesnor::Transliterator engine;
    engine.a = in.bytes;
    engine.b.clear();
    engArm ? engine.ConvertEngArm() : engine.ConvertArmEng();
    return codec::decode(engine.b, in.foreign);
}

std::u32string withoutEightBit(std::u32string_view text)
{
    std::u32string kept;
    for (const char32_t c : text)
        if (!codec::fromUnicode(c) || c == codec::kForeign)
            kept.push_back(c);
    return kept;
}

// Strict UTF-8 decoded the plain way, a character at a time: the characters before
// the first invalid or unfinished sequence, and that sequence's offset.
struct Decoded {
    std::u32string text;
    std::optional<std::size_t> error;
};

Decoded decodeStrictly(std::string_view bytes)
{
    Decoded decoded;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t len = lead < 0x80 ? 1
            : lead >= 0xC2 && lead <= 0xDF  ? 2
            : lead >= 0xE0 && lead <= 0xEF  ? 3
            : lead >= 0xF0 && lead <= 0xF4  ? 4
                                            : 0;
        char32_t c = len == 1 ? lead : len == 2 ? lead & 0x1F : len == 3 ? lead & 0x0F : lead & 7;
        bool valid = len > 0 && i + len <= bytes.size();
        for (std::size_t k = 1; valid && k < len; ++k) {
            const auto follow = static_cast<unsigned char>(bytes[i + k]);
            valid = (follow & 0xC0) == 0x80;
            c = (c << 6) | (follow & 0x3F);
        }
        const char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        if (!valid || (len > 1 && c < least) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            decoded.error = i;
            break;
        }
        decoded.text.push_back(c);
        i += len;
    }
    return decoded;
}

} // namespace

class TestCodec : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { kernelRows(); }
    void init() { useKernelOfRow(); }
    void everyByteRoundTrips();
    void characters_data();
    void characters();
    void foreignCharactersSurvive_data();
    void foreignCharactersSurvive();
    void invalidUtf8_data();
    void invalidUtf8();
    void utf8SplitAnywhere();
    void leadingByteOrderMark_data();
    void leadingByteOrderMark();
    void randomUnicodeKeepsForeignOrder();
    void utf8ReaderAgreesOnAnyBytes();
    void kernelReadsEveryCharacterThatHasAByte_data();
    void kernelReadsEveryCharacterThatHasAByte();
};

void TestCodec::everyByteRoundTrips()
{
    for (int b = 0; b < 256; ++b) {
        const char32_t c = codec::toUnicode(static_cast<unsigned char>(b));
        const auto back = codec::fromUnicode(c);
        QVERIFY2(back && *back == b, qPrintable(QString::number(b, 16)));
    }
}

void TestCodec::characters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<uint>("unicode");

    QTest::newRow("capital ayb") << 0xB2 << 0x0531u;
    QTest::newRow("small ayb") << 0xB3 << 0x0561u;
    QTest::newRow("capital ben") << 0xB4 << 0x0532u;
    QTest::newRow("capital feh") << 0xFC << 0x0556u;
    QTest::newRow("small feh") << 0xFD << 0x0586u;
    QTest::newRow("capital vyun") << 0xF4 << 0x0552u;
    QTest::newRow("ligature ev") << 0xA8 << 0x0587u;
    QTest::newRow("full stop") << 0xA3 << 0x0589u;
    QTest::newRow("right guillemet") << 0xA6 << 0x00BBu;
    QTest::newRow("left guillemet") << 0xA7 << 0x00ABu;
    QTest::newRow("comma") << 0xAA << 0x055Du;
    QTest::newRow("exclamation") << 0xAF << 0x055Cu;
    QTest::newRow("emphasis") << 0xB0 << 0x055Bu;
    QTest::newRow("question") << 0xB1 << 0x055Eu;
    QTest::newRow("apostrophe") << 0xFE << 0x055Au;
    QTest::newRow("ASCII letter") << 0x41 << 0x41u;
    QTest::newRow("unassigned byte keeps its Latin-1 meaning") << 0xA9 << 0x00A9u;
}

void TestCodec::characters()
{
    QFETCH(int, byte);
    QFETCH(uint, unicode);
    QCOMPARE(uint(codec::toUnicode(static_cast<unsigned char>(byte))), unicode);
    const codec::EightBitText typed
        = vesnor::reference::encode(std::u32string(1, char32_t(unicode)));
    QCOMPARE(qb(typed.bytes), qb(std::string(1, static_cast<char>(byte))));
    QVERIFY(typed.foreign.empty());
}

void TestCodec::foreignCharactersSurvive_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    QTest::newRow("emoji between the letters of a digraph")
        << true << QString::fromUtf8("t😀h") << QString::fromUtf8("տ😀հ");
    QTest::newRow("Cyrillic does not start a word")
        << true << QString::fromUtf8("Жvo") << QString::fromUtf8("Жվո");
    QTest::newRow("curly quotes around a word")
        << true << QString::fromUtf8("“Barev”") << QString::fromUtf8("“Բարև”");
    QTest::newRow("U+001A typed on its own keeps its place") << true
                                                             << QString::fromUtf8("a\x1A"
                                                                                  "b😀")
                                                             << QString::fromUtf8("ա\x1A"
                                                                                  "բ😀");
    QTest::newRow("Latin-1 letter whose number an Armenian letter took")
        << true << QString::fromUtf8("é th") << QString::fromUtf8("é թ");
    QTest::newRow("Armenian back to Latin around an emoji")
        << false << QString::fromUtf8("Բարև 😀 Ձեզ") << QString::fromUtf8("Barev 😀 DZez");
}

void TestCodec::foreignCharactersSurvive()
{
    QFETCH(bool, engArm);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    const std::u32string text = source.toStdU32String();
    QCOMPARE(QString::fromStdU32String(convertUnicode(engArm, text)), expected);
}

void TestCodec::invalidUtf8_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qulonglong>("offset");

    QTest::newRow("lone continuation byte") << qb(h("'ab' 80 'c'")) << 2ull;
    QTest::newRow("overlong encoding") << qb(h("'a' C0 80")) << 1ull;
    QTest::newRow("overlong three bytes") << qb(h("E0 80 80")) << 0ull;
    QTest::newRow("surrogate") << qb(h("'xyz' ED A0 80")) << 3ull;
    QTest::newRow("beyond U+10FFFF") << qb(h("F4 90 80 80")) << 0ull;
    QTest::newRow("lead byte F5") << qb(h("F5 80 80 80")) << 0ull;
    QTest::newRow("sequence cut by the end") << qb(h("'abc' D5")) << 3ull;
    QTest::newRow("missing continuation") << qb(h("D5 'a'")) << 0ull;
    QTest::newRow("continuation after a whole letter") << qb(h("D5 A1 A1")) << 2ull;
    QTest::newRow("lead byte C1") << qb(h("C1 BF")) << 0ull;
}

void TestCodec::invalidUtf8()
{
    QFETCH(QByteArray, input);
    QFETCH(qulonglong, offset);

    std::string before;
    {
        vesnor::utf8::Reader reader;
        std::string pending = input.toStdString();
        std::u32string foreign;
        const auto error = readPending(reader, pending, true, before, foreign);
        QVERIFY(error.has_value());
        QCOMPARE(qulonglong(*error), offset);
    }

    // The same fault at every character boundary of a long text, read whole and in
    // pieces: the reader reports it at the same place and yields all that came before.
    const std::u32string around = U"Բարև Ձեզ, vonc es? Ես լավ եմ։ «Երևան» - Yerevan, 2026 "
                                  U"ԱԲԳԴԵԶԷԸԹԺԻԼԽԾԿՀՁՂՃՄՅՆՇՈՉՊՋՌՍՎՏՐՑՒՓՔՕՖ abcdefghijklmnop";
    // After a long text too, which the kernels read their own way.
    std::u32string filler;
    while (filler.size() < 20000)
        filler += around;
    std::mt19937 rng(5);
    for (std::size_t cut = 0; cut <= 2 * around.size(); ++cut) {
        const std::u32string start = cut < around.size()
            ? around.substr(0, cut)
            : filler + around.substr(0, cut % around.size());
        const std::u32string rest = around.substr(cut % around.size());
        const std::string prefix = utf8(start);
        const std::string text = prefix + input.toStdString() + utf8(rest);
        const std::string expected = vesnor::reference::encode(start).bytes + before;
        for (const std::size_t largest : {text.size(), std::size_t{40}, std::size_t{7}}) {
            const Read read = readInPieces(text, rng, largest);
            QVERIFY2(read.error.has_value(), qPrintable(QString::number(cut)));
            QCOMPARE(qulonglong(*read.error), prefix.size() + offset);
            QCOMPARE(qb(read.bytes), qb(expected));
        }

        // Through the converter a user runs, in pieces that split characters: the
        // same offset, and the conversion of all that came before it.
        const std::size_t valid = prefix.size() + offset;
        std::string whole;
        vesnor::StreamConverter once(vesnor::Direction::ArmEng);
        QVERIFY(once.convert(std::string_view(text).substr(0, valid), whole) && once.finish(whole));
        for (const std::size_t largest : {std::size_t{1}, std::size_t{3}, std::size_t{64}}) {
            // After the long text, the tiny pieces would only repeat the short one's.
            if (cut >= around.size() && largest < 64)
                continue;
            vesnor::StreamConverter converter(vesnor::Direction::ArmEng);
            std::string out;
            bool ok = true;
            inRandomPieces(text, rng, largest,
                [&](std::string_view piece) { ok = converter.convert(piece, out) && ok; });
            ok = converter.finish(out) && ok;
            QVERIFY(!ok);
            QCOMPARE(qulonglong(converter.errorOffset()), qulonglong(valid));
            QCOMPARE(qb(out), qb(whole));
        }
    }
}

void TestCodec::utf8SplitAnywhere()
{
    const std::string text = utf8(U"Բարև 😀 Ձեզ, é ж \x1A ok");
    std::string whole;
    std::u32string wholeForeign;
    {
        vesnor::utf8::Reader reader;
        std::string pending = text;
        QVERIFY(!readPending(reader, pending, true, whole, wholeForeign));
    }
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        vesnor::utf8::Reader reader;
        std::string pending = text.substr(0, cut);
        std::string bytes;
        std::u32string foreign;
        QVERIFY(!readPending(reader, pending, false, bytes, foreign));
        QVERIFY(pending.size() < 4);
        pending += text.substr(cut);
        QVERIFY(!readPending(reader, pending, true, bytes, foreign));
        QCOMPARE(qb(bytes), qb(whole));
        QVERIFY(foreign == wholeForeign);
    }
}

// A mark that opens a text tells how its file is written: the text's first word
// converts as a first word, wherever the pieces cut the mark.
void TestCodec::leadingByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<qlonglong>("errorOffset"); // -1 for none

    const QByteArray mark("\xEF\xBB\xBF");
    QTest::newRow("a word start after it") << mark + "vonc" << QByteArray("ոնց") << -1ll;
    QTest::newRow("the mark alone") << mark << QByteArray() << -1ll;
    QTest::newRow("a second mark is text") << mark + mark + "b" << mark + "բ" << -1ll;
    QTest::newRow("its first bytes alone are invalid") << QByteArray("\xEF\xBB"
                                                                     "a")
                                                       << QByteArray() << 0ll;
    QTest::newRow("offsets count it") << mark + "a\xFF" << QByteArray("ա") << 4ll;
}

void TestCodec::leadingByteOrderMark()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(qlonglong, errorOffset);

    std::mt19937 rng(11);
    for (const std::size_t largest : {1, 2, 100}) {
        vesnor::StreamConverter converter(vesnor::Direction::EngArm);
        std::string out;
        bool ok = true;
        inRandomPieces(input.toStdString(), rng, largest,
            [&](std::string_view piece) { ok = converter.convert(piece, out) && ok; });
        ok = converter.finish(out) && ok;
        QCOMPARE(qb(out), expected);
        QCOMPARE(ok, errorOffset < 0);
        if (!ok)
            QCOMPARE(qlonglong(converter.errorOffset()), errorOffset);
    }
}

void TestCodec::randomUnicodeKeepsForeignOrder()
{
    std::mt19937 rng(7);
    const std::u32string pool = U"abcdehkorstuvyzTHSOUVY |  \r\n\x1A"
                                U"ԱաԲբԹթՈոՒւԵեևՌռ։«»"
                                U"жЖé€😀🇦🇲\u200D\uFEFF\u00A0";
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    std::uniform_int_distribution<char32_t> anyChar(1, 0x10FFFF);
    std::uniform_int_distribution<int> len(0, 200);
    for (int round = 0; round < 2000; ++round) {
        std::u32string text;
        for (int k = len(rng); k > 0; --k) {
            char32_t c = (k % 7 == 0) ? anyChar(rng) : pool[pick(rng)];
            if (c >= 0xD800 && c <= 0xDFFF)
                c = U'x';
            text.push_back(c);
        }
        for (const bool engArm : {true, false}) {
            const std::u32string out = convertUnicode(engArm, text);
            QVERIFY(withoutEightBit(out) == withoutEightBit(text));
        }
    }
}

// Bytes of every kind the kernels tell apart (ASCII, leads of characters that have a
// byte and of those that have none, continuations where they belong and where they
// do not, longer sequences, bytes that are never UTF-8, 1A), in random order and
// read in random pieces, long enough for the kernels' blocks: what the reader takes,
// sets aside and reports is what the plain decoding says.
void TestCodec::utf8ReaderAgreesOnAnyBytes()
{
    const std::vector<std::string> kinds = {"a", " ", "\n", "\x1A", "\xD5\xA1", "\xD4\xB1",
        "\xD6\x80", "\xD6\x89", "\xC2\xAB", "\xC2\xA0", "\xC3\xA9", "\xD0\x96", "\xE2\x80\x99",
        "\xF0\x9F\x98\x80", "\xD4\xB0", "\xD5\x97", "\xC2\xA3", "\xD6\x8F", "\x80", "\xD5",
        "\xC0\x80", "\xFF", "\xED\xA0\x80", "\xE2\x80"};
    std::mt19937 rng(23);
    std::uniform_int_distribution<std::size_t> kind(0, kinds.size() - 1);
    std::uniform_int_distribution<int> percent(0, 999);
    for (int round = 0; round < 400; ++round) {
        // Mostly valid text with a fault now and then, somewhere in a long run.
        const std::size_t length = round % 20 == 0 ? 20000 : 50 + round * 3;
        const int validOnly = round % 4 == 0 ? 1000 : 998;
        std::string text;
        while (text.size() < length) {
            const std::size_t k = kind(rng);
            if (k >= 18 && percent(rng) < validOnly)
                text += "ab";
            else
                text += kinds[k];
        }
        const Decoded expected = decodeStrictly(text);
        const codec::EightBitText expectedBytes = vesnor::reference::encode(expected.text);

        const Read read = readInPieces(text, rng, round % 2 ? 100 : SIZE_MAX);
        QCOMPARE(read.error.has_value(), expected.error.has_value());
        if (read.error)
            QCOMPARE(qulonglong(*read.error), qulonglong(*expected.error));
        QCOMPARE(qb(read.bytes), qb(expectedBytes.bytes));
        QVERIFY(read.foreign == expectedBytes.foreign);
    }
}

void TestCodec::kernelReadsEveryCharacterThatHasAByte_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("a run of it") << QByteArray() << QByteArray();
    QTest::newRow("among letters") << QByteArray("ab") << QByteArray("c");
    QTest::newRow("after white space") << QByteArray(" ") << QByteArray();
}

// The kernel's reader is the fast way through UTF-8: a character it hands to the
// careful path costs many times as much, so text of characters that have a byte must
// go through it in one call, all but its last block.
void TestCodec::kernelReadsEveryCharacterThatHasAByte()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const vesnor::detail::Kernel &kernel = vesnor::detail::kernel();
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (byte == codec::kForeign)
            continue;
        const codec::Utf8Bytes character = codec::utf8Of(static_cast<unsigned char>(byte));
        const std::string unit = before.toStdString()
            + std::string(character.bytes.data(), character.len) + after.toStdString();
        std::string text;
        while (text.size() < 20000)
            text += unit;
        std::string out(text.size() + 64, '\0');
        char *cursor = out.data();
        const std::size_t taken = kernel.read(
            reinterpret_cast<const unsigned char *>(text.data()), text.size(), cursor);
        const QByteArray where = QByteArray::number(byte, 16);
        QVERIFY2(taken + 2 * 64 >= text.size(), where.constData());
        const codec::EightBitText expected = vesnor::reference::encode(
            decodeStrictly(std::string_view(text).substr(0, taken)).text);
        QCOMPARE(qb(std::string(out.data(), cursor)), qb(expected.bytes));
        QVERIFY(expected.foreign.empty());
    }
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
