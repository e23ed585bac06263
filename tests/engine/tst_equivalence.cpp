// The engine's walks held to each other and to the plain first-occurrence search on
// long texts, around the vector walk's chunks and the blocks; the rows that hold
// every token and random texts to the search are the portable check's.

#include "pieces.h"
#include "reference.h"
#include "tables.h"
#include "vesnor/codec.h"
#include "vesnor/transliterator.h"
#include "walk.h"

#include "everykernel.h"

#include <QtTest/QTest>

#include <array>
#include <random>
#include <string>

namespace {

using vesnor::reference::direction;

std::string slow(bool engArm, const std::string &text)
{
    return vesnor::reference::slow(direction(engArm), text);
}

// Bytes drawn mostly from the tables, so that pairs, word starts and bars are common.
std::string randomText(std::mt19937 &rng, std::size_t length)
{
    static const std::string alphabet = std::string(vesnor::tables::kLatinSide)
        + std::string(vesnor::tables::kArmenianSide) + "      \r\n\t\xA0Ww1.,(";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> percent(0, 99);
    std::string text;
    for (std::size_t k = 0; k < length; ++k)
        text += percent(rng) < 10 ? static_cast<char>(anyByte(rng)) : alphabet[pick(rng)];
    return text;
}

// Latin words as people write them: letters, pairs, spaces and line breaks, and
// now and then, where `foreignEvery` is not 0, a byte from 0x80 up or 1A, which
// stands for a character set aside.
std::string latinText(std::mt19937 &rng, std::size_t length, int foreignEvery)
{
    static const std::vector<std::string> words = {"Barev", "Dzez", "vochinch", "shnorhakalutyun",
        "Yerevan", "tsaghik", "urakh", "gh", "zh", "rr", "vo", "ye", "o", "U", "u", "ev", "|",
        "Tsaghkadzor", "khndrem", "CH", "SH", "Zh", "1.", "(ov", "a"};
    static const std::string spaces = "      \n\r\t,.";
    std::uniform_int_distribution<std::size_t> word(0, words.size() - 1);
    std::uniform_int_distribution<std::size_t> space(0, spaces.size() - 1);
    std::uniform_int_distribution<int> foreign(0, foreignEvery);
    std::uniform_int_distribution<int> high(0x7F, 0xFF);
    std::string text;
    while (text.size() < length) {
        text += words[word(rng)];
        text += spaces[space(rng)];
        if (foreignEvery && foreign(rng) == 0) {
            const int byte = high(rng);
            text += static_cast<char>(byte == 0x7F ? vesnor::codec::kForeign : byte);
        }
    }
    text.resize(length);
    return text;
}

// The UTF-8 of an 8-bit text, byte by byte.
std::string utf8Of(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto utf8 = vesnor::codec::utf8Of(static_cast<unsigned char>(c));
        out.append(utf8.bytes.data(), utf8.len);
    }
    return out;
}

} // namespace

class TestEquivalence : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { kernelRows(); }
    void init() { useKernelOfRow(); }
    void walks_data();
    void walks();
    void vectorWalkTakesText_data();
    void vectorWalkTakesText();
};

// The vector walk goes 64 positions at a time and the short walk reads the rules
// themselves; in either output they must agree with the table walk at every length
// around the chunks, after any byte, at the end of a text and before more of it,
// and in pieces.
void TestEquivalence::walks_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QByteArray>("text");

    std::mt19937 rng(64);
    for (const std::size_t length :
        {0, 1, 2, 3, 62, 63, 64, 65, 66, 67, 127, 128, 129, 130, 131, 191, 192, 193, 577, 4095,
            4096, 4097, 4150, 4160, 4161, 16383, 16384, 16385, 16386, 50001}) {
        const auto row = [&](const char *kind, bool engArm, const std::string &text) {
            QTest::addRow("%s, %zu bytes, %s", kind, length,
                engArm ? "Latin to Armenian" : "Armenian to Latin")
                << engArm << QByteArray::fromStdString(text);
        };
        for (const bool engArm : {true, false}) {
            row("Latin words", engArm, latinText(rng, length, 0));
            row("Latin words and other bytes", engArm, latinText(rng, length, 40));
            row("any bytes", engArm, randomText(rng, length));
        }
        row("Armenian words", false,
            vesnor::convert(vesnor::Direction::EngArm, latinText(rng, length, 0))
                .substr(0, length));
        row("Armenian words and other bytes", false,
            vesnor::convert(vesnor::Direction::EngArm, latinText(rng, length, 40))
                .substr(0, length));
        // Where a vector walk stops short of the end: a byte it leaves to the table
        // walk just before it.
        for (const bool engArm : {true, false}) {
            std::string ending = latinText(rng, length, 0);
            if (!ending.empty())
                ending.back() = '\xB3';
            row("Latin words, then an Armenian letter", engArm, ending);
        }
        row("r repeated", true, std::string(length, 'r'));
        // Armenian T and a bar form a pair read back as TH, in a run across every block.
        std::string tBar;
        while (tBar.size() < length)
            tBar += "\xC2|";
        row("T and bar repeated", false, tBar.substr(0, length));
        // Letters with a form of their own at a word start, wherever a walk starts.
        row("o repeated", true, std::string(length, 'o'));
        row("ye repeated", false, std::string(length, '\xBB'));
        row("a, then r repeated", true, ("a" + std::string(length, 'r')).substr(0, length));
        std::string tsh;
        while (tsh.size() < length)
            tsh += "tsh";
        row("tsh repeated", true, tsh.substr(0, length));
    }
}

void TestEquivalence::walks()
{
    QFETCH(bool, engArm);
    QFETCH(QByteArray, text);
    using namespace vesnor::detail;
    const auto direction = ::direction(engArm);
    const std::string source = text.toStdString();

    for (const vesnor::Encoding output : {vesnor::Encoding::Utf8, vesnor::Encoding::EightBit}) {
        for (const unsigned char previous :
            std::to_array<unsigned char>({' ', '\n', 'a', 'v', '(', 0xA0, 0xB3})) {
            for (const bool final : {true, false}) {
                std::string table = "kept";
                const std::size_t expected
                    = walk(direction, output, source, previous, final, table, Method::Table);
                for (const Method method : {Method::Fastest, Method::Short}) {
                    std::string other = "kept";
                    const std::size_t consumed
                        = walk(direction, output, source, previous, final, other, method);
                    QCOMPARE(QByteArray::fromStdString(other), QByteArray::fromStdString(table));
                    QCOMPARE(consumed, expected);
                }
            }
        }
    }

    // The table walk in UTF-8 is the plain search's result, letter for letter.
    std::string table;
    walk(direction, vesnor::Encoding::Utf8, source, kTextStart, true, table, Method::Table);
    QCOMPARE(
        QByteArray::fromStdString(table), QByteArray::fromStdString(utf8Of(slow(engArm, source))));

    // From UTF-8 in pieces, through the converter a user runs, where each 1A of the
    // text is a character the 8-bit text cannot hold: it comes through in place.
    const auto withStrangers = [](std::string text) {
        static const std::array<std::string, 3> strangers
            = {"\xD0\x96", "\xF0\x9F\x98\x80", "\x1A"};
        std::string out;
        std::size_t k = 0;
        for (const char c : text)
            out += c == '\x1A' ? strangers[k++ % strangers.size()] : std::string(1, c);
        return out;
    };
    std::mt19937 rng(7);
    QCOMPARE(QByteArray::fromStdString(
                 streamed(direction, vesnor::Encoding::EightBit, source, rng, 20000)),
        QByteArray::fromStdString(slow(engArm, source)));
    for (const std::size_t largest : {1, 70, 300, 5000}) {
        const std::string pieces = streamed(
            direction, vesnor::Encoding::Utf8, withStrangers(utf8Of(source)), rng, largest);
        QCOMPARE(
            QByteArray::fromStdString(pieces), QByteArray::fromStdString(withStrangers(table)));
    }
}

// Where the kernel has a vector walk, both directions' rules must fit its tables:
// otherwise everything silently goes the slow way.
void TestEquivalence::vectorWalkTakesText_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<bool>("armenian");
    QTest::newRow("Latin to Armenian") << true << false;
    QTest::newRow("Armenian to Latin, Latin text") << false << false;
    QTest::newRow("Armenian to Latin, Armenian text") << false << true;
}

void TestEquivalence::vectorWalkTakesText()
{
    QFETCH(bool, engArm);
    QFETCH(bool, armenian);
    using namespace vesnor::detail;
    const Kernel &kernel = vesnor::detail::kernel();
    if (!kernel.walk)
        QSKIP("this kernel has no vector walk");
    std::mt19937 rng(2);
    std::string text = latinText(rng, 1000, 0);
    if (armenian)
        text = vesnor::convert(vesnor::Direction::EngArm, text);
    std::string out(4 * text.size(), '\0');
    char *cursor = out.data();
    const std::size_t taken
        = kernel.walk(direction(engArm), reinterpret_cast<const unsigned char *>(text.data()),
            text.size(), 0, text.size() - 1, true, cursor);
    QVERIFY2(taken + 64 >= text.size() - 1, qPrintable(QString::number(taken)));
}

QTEST_GUILESS_MAIN(TestEquivalence)
#include "tst_equivalence.moc"
