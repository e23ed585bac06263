#include "reference.h"
#include "tables.h"
#include "vesnor/transliterator.h"

#include <QtTest/QTest>

#include <string>

using vesnor::reference::position;

class TestTables : public QObject {
    Q_OBJECT

private slots:
    void loadAssignsTheThreeStrings();
    void firstOccurrence_data();
    void firstOccurrence();
};

void TestTables::loadAssignsTheThreeStrings()
{
    vesnor::Transliterator engine;
    // The last group ("rr") has no separator after it.
    QCOMPARE(engine.aetext2.substr(145), std::string("|rr"));
    QCOMPARE(engine.aetext1.substr(146), std::string("\xE9\x7C"));
    QCOMPARE(engine.aetext2[4], '\xF2');
    QVERIFY(engine.aetext3.find_first_not_of("012") == std::string::npos);
}

void TestTables::firstOccurrence_data()
{
    QTest::addColumn<bool>("latinSide");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<int>("expectedPosition");
    QTest::addColumn<char>("expectedKind");

    auto row = [](const char *name, bool latin, QByteArray token, int pos, char kind) {
        QTest::newRow(name) << latin << token << pos << kind;
    };
    row("C is only in the CH group", true, "C", 126, '2');
    row("c is a single letter", true, "c", 35, '1');
    row("W is nowhere", true, "W", 0, 0);
    row("w is nowhere", true, "w", 0, 0);
    row("E finds the first of its two cells", true, "E", 8, '1');
    row("e finds the first of its two cells", true, "e", 38, '1');
    row("O finds 21", true, "O", 21, '1');
    row("o finds 51", true, "o", 51, '1');
    row("P finds 22", true, "P", 22, '1');
    row("p finds 52", true, "p", 52, '1');
    row("s finds 39", true, "s", 39, '1');
    row("U finds the first of its pair of cells", true, "U", 27, '0');
    row("@ finds 12", true, "@", 12, '1');
    row("& finds 16", true, "&", 16, '1');
    row("bar finds 1", true, "|", 1, '1');
    row("AB straddles two cells", true, "AB", 3, '1');
    row("hm straddles two cells", true, "hm", 47, '1');
    row("H and bar inside a group", true, "H|", 67, '2');
    row("ev is a digraph", true, "ev", 132, '2');
    row("U-capital pair", false, "\xE0\xF5", 27, '0');
    row("u-small pair", false, "\xE1\xF5", 58, '0');
    row("ligature", false, "\xA8", 132, '2');
    row("capital O letter", false, "\xE0", 21, '1');
    row("small o letter", false, "\xE1", 51, '1');
    row("capital X letter before KH", false, "\xCA", 65, '1');
    row("small x letter before kh", false, "\xCB", 64, '1');
    row("small s letter", false, "\xEB", 39, '1');
    row("small v-like second letter", false, "\xF5", 28, '0');
    row("tso letter maps to its own code", false, "\xF2", 5, '1');
    row("capital rr letter", false, "\xE8", 135, '2');
}

void TestTables::firstOccurrence()
{
    QFETCH(bool, latinSide);
    QFETCH(QByteArray, token);
    QFETCH(int, expectedPosition);
    QFETCH(char, expectedKind);

    const vesnor::Transliterator engine;
    const std::string &side = latinSide ? engine.aetext2 : engine.aetext1;
    const std::size_t p = position(side, token.toStdString());
    QCOMPARE(int(p), expectedPosition);
    if (p != 0)
        QCOMPARE(engine.aetext3[p - 1], expectedKind);
}

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
