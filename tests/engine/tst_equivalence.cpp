// The engine answers table searches from precomputed lookups; these tests hold it to
// the plain first-occurrence search on every two-byte token and on random texts.

#include "engine/tables.h"
#include "engine/transliterator.h"
#include "pieces.h"
#include "reference.h"

#include <QtTest/QTest>

#include <random>
#include <string>

namespace {

std::string fast(bool engArm, const std::string &text)
{
    return vesnor::convert(engArm ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng, text);
}

std::string slow(bool engArm, const std::string &text)
{
    static const auto tables = vesnor::reference::standardTables();
    return engArm ? vesnor::reference::ConvertEngArm(tables, text)
                  : vesnor::reference::ConvertArmEng(tables, text);
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

} // namespace

class TestEquivalence : public QObject {
    Q_OBJECT

private slots:
    void everyTwoByteToken_data();
    void everyTwoByteToken();
    void randomTexts_data();
    void randomTexts();
    void longTexts_data();
    void longTexts();
};

void TestEquivalence::everyTwoByteToken_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    for (const bool engArm : {true, false}) {
        const char *dir = engArm ? "Latin to Armenian, " : "Armenian to Latin, ";
        const QByteArray letter = engArm ? "a" : "\xB3";
        QTest::addRow("%stoken alone", dir) << engArm << QByteArray() << QByteArray();
        QTest::addRow("%stoken after a letter", dir) << engArm << letter << QByteArray();
        for (const char *space : {" ", "\t", "\n", "\r", "\xA0"})
            QTest::addRow(
                "%stoken after white space %02X", dir, static_cast<unsigned char>(space[0]))
                << engArm << QByteArray(space) << QByteArray();
        QTest::addRow("%stoken after punctuation", dir)
            << engArm << QByteArray("(") << QByteArray();
        QTest::addRow("%stoken before a letter", dir) << engArm << QByteArray() << letter;
    }
}

void TestEquivalence::everyTwoByteToken()
{
    QFETCH(bool, engArm);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    int mismatches = 0;
    for (int token = 0; token < 65536; ++token) {
        const std::string text = before.toStdString() + static_cast<char>(token >> 8)
            + static_cast<char>(token & 0xFF) + after.toStdString();
        if (fast(engArm, text) != slow(engArm, text) && ++mismatches <= 5)
            qWarning("token %04X differs", token);
    }
    QCOMPARE(mismatches, 0);
}

void TestEquivalence::randomTexts_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::newRow("Latin to Armenian") << true;
    QTest::newRow("Armenian to Latin") << false;
}

void TestEquivalence::randomTexts()
{
    QFETCH(bool, engArm);
    const auto direction = engArm ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng;

    std::mt19937 rng(20261208);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    constexpr std::size_t kLargestPiece = 17;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(rng, length(rng));
        const std::string expected = slow(engArm, text);
        QCOMPARE(
            QByteArray::fromStdString(fast(engArm, text)), QByteArray::fromStdString(expected));

        // The same text in random pieces must come out the same.
        const std::string pieces
            = streamed(direction, vesnor::Encoding::EightBit, text, rng, kLargestPiece);
        QCOMPARE(QByteArray::fromStdString(pieces), QByteArray::fromStdString(expected));
    }
}

// The walk goes through a long text in blocks; a run of pairs across a block's end
// must be read as across any other position, whole and in pieces.
void TestEquivalence::longTexts_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QByteArray>("text");

    std::mt19937 rng(16384);
    for (const std::size_t length : {16383, 16384, 16385, 16386, 32769, 50001}) {
        const QByteArray random = QByteArray::fromStdString(randomText(rng, length));
        QTest::addRow("random, %zu bytes, Latin to Armenian", length) << true << random;
        QTest::addRow("random, %zu bytes, Armenian to Latin", length) << false << random;
        QTest::addRow("r repeated, %zu bytes", length)
            << true << QByteArray(qsizetype(length), 'r');
        QTest::addRow("tsh repeated, %zu bytes", length)
            << true << QByteArray("tsh").repeated(qsizetype(length / 3));
        // Armenian T and a bar form a pair read back as TH.
        QTest::addRow("T and bar repeated, %zu bytes", length)
            << false << QByteArray("\xC2|\xC2").repeated(qsizetype(length / 3));
    }
}

void TestEquivalence::longTexts()
{
    QFETCH(bool, engArm);
    QFETCH(QByteArray, text);
    const auto direction = engArm ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng;

    const std::string expected = slow(engArm, text.toStdString());
    QCOMPARE(QByteArray::fromStdString(fast(engArm, text.toStdString())),
        QByteArray::fromStdString(expected));
    std::mt19937 rng(3);
    const std::string pieces
        = streamed(direction, vesnor::Encoding::EightBit, text.toStdString(), rng, 20000);
    QCOMPARE(QByteArray::fromStdString(pieces), QByteArray::fromStdString(expected));
}

QTEST_GUILESS_MAIN(TestEquivalence)
#include "tst_equivalence.moc"
