#include "hex.h"
#include "pieces.h"
#include "vesnor/transliterator.h"

#include "everykernel.h"
#include "reference.h"

#include <QtTest/QTest>

#include <string>

class TestConversion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { kernelRows(); }
    void init() { useKernelOfRow(); }
    void conversion_data();
    void conversion();
    void resultIsAppendedToWhatBHolds();
    void chunkBoundaries_data();
    void chunkBoundaries();

private:
    vesnor::Direction rowDirection = vesnor::Direction::EngArm;
    void addRow(const char *name, const std::string &source, const std::string &result)
    {
        const bool engArm = rowDirection == vesnor::Direction::EngArm;
        QTest::addRow("%s: %s", engArm ? "to Armenian" : "to Latin", name)
            << engArm << qb(source) << qb(result);
    }
};

void TestConversion::conversion_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("expected");

    rowDirection = vesnor::Direction::EngArm;
    addRow("empty text", "", "");
    addRow("word-start Vo", "Vonc", h("E0 DD F3"));
    addRow("word-start VO", "VO", h("E0"));
    addRow("word-start vo", "vor", h("E1 F1"));
    addRow("vo inside a word", "avo", h("B3 ED E1"));
    addRow("Vo inside a word", "aVo", h("B3 EC E1"));
    addRow("vO has no rule", "vO", h("ED E0"));
    addRow("second VO is not at a word start", "VOVO", h("E0 EC E0"));
    addRow("a space starts a word", "vo vo", h("E1 20 E1"));
    addRow("CR LF starts a word", h("'a' 0D 0A 'vo'"), h("B3 0D 0A E1"));
    addRow("LF alone starts a word", h("'a' 0A 'vo'"), h("B3 0A E1"));
    addRow("CR alone starts a word", h("'a' 0D 'vo'"), h("B3 0D E1"));
    addRow("a tab starts a word", h("09 'vo'"), h("09 E1"));
    addRow("a no-break space starts a word", h("'a' A0 'vo'"), h("B3 A0 E1"));
    addRow("ye on a new line", h("'a' 0A 'yes'"), h("B3 0A BB EB"));
    addRow("O on a new line", h("'a' 0A 'Ov'"), h("B3 0A FA ED"));
    addRow("punctuation does not start a word", "(vo", h("28 ED E1"));
    addRow("o after punctuation stays inside the word", "(ov", h("28 E1 ED"));
    addRow("word-start ye", "yes", h("BB EB"));
    addRow("ye inside a word", "aye", h("B3 DB BB"));
    addRow("yE has no rule", "yE", h("DB BA"));
    addRow("word-start Ye then the digraph ev", "Yerevan", h("BA F1 A8 B3 DD"));
    addRow("word-start ye consumes the e of ev", "yev", h("BB ED"));
    addRow("ev found inside a word", "ayev", h("B3 DB A8"));
    addRow("ev at the end of a word", "Barev", h("B4 B3 F1 A8"));
    addRow("Ev is no digraph", "Ev", h("BA ED"));
    addRow("word-start o", "o", h("FB"));
    addRow("o inside a word", "Hov", h("D0 E1 ED"));
    addRow("word-start o then O inside the word", "oO", h("FB E0"));
    addRow("word-start O", "Ov", h("FA ED"));
    addRow("word-start o as the last character", "a o", h("B3 20 FB"));
    addRow("u gives two letters", "tun", h("EF E1 F5 DD"));
    addRow("U gives two letters", "Urax", h("E0 F5 F1 B3 CB"));
    addRow("digraph th", "th", h("C3"));
    addRow("digraph Th", "Th", h("C2"));
    addRow("tH is no digraph", "tH", h("EF D0"));
    addRow("left to right: ts then h", "tsh", h("CD D1"));
    addRow("s alone then sh", "ssh", h("EB DF"));
    addRow("C alone at the last position", "C", h("E2"));
    addRow("C alone inside a text", "Ca", h("E2 B3"));
    addRow("cH is no digraph", "cH", h("F3 D0"));
    addRow("two digraphs in a row", "CHch", h("E2 E3"));
    addRow("rR is no digraph", "rR", h("F1 F0"));
    addRow("digraph Rr", "Rr", h("E8"));
    addRow("kh KH x X", "kh, KH, x, X", h("CB 2C 20 CA 2C 20 CB 2C 20 CA"));
    addRow("W and w pass through", "Wow", h("'W' E1 'w'"));
    addRow("punctuation passes through", "Hayastan!", h("D0 B3 DB B3 EB EF B3 DD '!'"));
    addRow("second letter of a digraph and a bar", "H|", h("7C"));
    addRow("letter and bar, then T", "H|T", h("7C EE"));
    addRow("bar after a letter that ends no digraph", "u|", h("E1 F5 7C"));
    addRow("a bar alone maps to itself", "a|b", h("B3 7C B5"));
    addRow("Armenian letters pass through", h("B4 B3 F2"), h("B4 B3 F2"));
    addRow("the greeting", "Barev Dzez", h("B4 B3 F1 A8 20 D2 BB BD"));

    rowDirection = vesnor::Direction::ArmEng;
    addRow("empty text", "", "");
    addRow("word-start capital ye, the ligature", h("BA F1 A8 B3 DD"), "Yerevan");
    addRow("capital digraph letter gives the capital pair", h("B4 B3 F1 A8 20 D2 BB BD"),
        "Barev DZez");
    addRow("word starts after spaces, u pair", h("E0 E3 2C 20 BB EB 20 E1 F5 BD E1 F5 D9 20 BB D9"),
        "Voch, yes uzum yem");
    addRow("word-start small o", h("E1 ED"), "vov");
    addRow("word-start capital O", h("E0 ED"), "Vov");
    addRow("word-start small ye", h("BB EB"), "yes");
    addRow("word-start capital ye", h("BA EB"), "Yes");
    addRow("a space starts a word", h("B3 20 E1 ED"), "a vov");
    addRow("so do several spaces", h("B3 20 20 E1 ED"), "a  vov");
    addRow("each word", h("E1 ED 20 E1 ED"), "vov vov");
    addRow("small ye inside a word", h("B5 BB F1"), "ber");
    addRow("small o inside a word", h("B5 E1 F1"), "bor");
    addRow("CR LF starts a word", h("0D 0A E1 ED"), h("0D 0A 'vov'"));
    addRow("LF alone starts a word", h("B3 0A E1 ED"), h("'a' 0A 'vov'"));
    addRow("CR alone starts a word", h("B3 0D E1 ED"), h("'a' 0D 'vov'"));
    addRow("a tab starts a word", h("09 E1 ED"), h("09 'vov'"));
    addRow("a no-break space starts a word", h("B3 A0 E1 ED"), h("'a' A0 'vov'"));
    addRow("Yerevan on a second line", h("B3 0A BA F1 A8 B3 DD"), h("'a' 0A 'Yerevan'"));
    addRow("punctuation does not start a word", h("28 E1 ED"), "(ov");
    addRow("the pair rule comes before the word-start rules", h("E1 F5 F1"), "ur");
    addRow("the same for the capital", h("E0 F5 F1"), "Ur");
    addRow("u pair inside a word", h("EF E1 F5 DD"), "tun");
    addRow("lone second letter of U at the end", h("B3 F5"), "aU");
    addRow("lone second letter of U inside a text", h("B3 F5 B3"), "aUa");
    addRow("capital to", h("C2"), "TH");
    addRow("small to", h("C3"), "th");
    addRow("capital rra", h("E8"), "RR");
    addRow("small rra", h("E9"), "rr");
    addRow("the ligature", h("A8"), "ev");
    addRow("capital xe", h("CA"), "X");
    addRow("small xe", h("CB"), "x");
    addRow("digraph letter followed by a bar", h("CA 7C"), "KH");
    addRow("tso gives its own code", h("F2"), h("F2"));
    addRow("capital vyun has no entry", h("F4"), h("F4"));
    addRow("Latin, digits and punctuation are copied", "W1,.!", "W1,.!");
    addRow("a bar alone", "|", "|");
    addRow("two bars", "||", "H|");
    addRow("a bar followed by a digraph letter", h("7C C2"), "|");
    addRow("vyun followed by capital pyur", h("B3 F5 F6"), "aU");
    addRow("vyun followed by small pyur", h("B3 F5 F7"), "a|");
    addRow("a pair found with kind 1 is ignored", h("B2 B4"), "AB");
}

// The window's named form and the value form must agree on every row.
void TestConversion::conversion()
{
    QFETCH(bool, engArm);
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, expected);

    vesnor::Transliterator engine;
    engine.a = source.toStdString();
    engArm ? engine.ConvertEngArm() : engine.ConvertArmEng();
    QCOMPARE(qb(engine.b), expected);
    QCOMPARE(qb(engine.a), source);
    const auto direction = vesnor::reference::direction(engArm);
    QCOMPARE(qb(vesnor::convert(direction, source.toStdString())), expected);
}

void TestConversion::resultIsAppendedToWhatBHolds()
{
    vesnor::Transliterator engine;
    engine.a = "th";
    engine.b = "x";
    engine.ConvertEngArm();
    QCOMPARE(qb(engine.b), qb("x\xC3"));
}

void TestConversion::chunkBoundaries_data()
{
    QTest::addColumn<bool>("engArm");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("digraph split across pieces") << true << QByteArray("Barev Dzez tsh ssh CHch");
    QTest::newRow("word start split across pieces") << true << QByteArray("a vo ye o O Vonc");
    QTest::newRow("letter and bar split across pieces") << true << QByteArray("H|T u| a|b");
    QTest::newRow("line breaks split across pieces")
        << true << QByteArray("Barev,\r\nvonc es?\r\nOv\tyes\rvo\nye");
    QTest::newRow("Armenian pairs split across pieces")
        << false << qb(h("B3 F5 F6 20 E1 F5 F1 20 E1 ED 20 CA 7C 7C 7C C2"));
    QTest::newRow("Armenian line breaks split across pieces")
        << false << qb(h("B3 0D 0A E1 ED 0D BA F1 A8 0A BB EB 09 E0 ED"));
}

// Pieces of one byte, then of random sizes up to 2, 3 and 4 bytes.
void TestConversion::chunkBoundaries()
{
    QFETCH(bool, engArm);
    QFETCH(QByteArray, text);
    const auto direction = vesnor::reference::direction(engArm);
    const std::string whole = vesnor::convert(direction, text.toStdString());

    for (std::size_t size = 1; size <= 4; ++size) {
        std::mt19937 rng(1);
        const std::string out
            = streamed(direction, vesnor::Encoding::EightBit, text.toStdString(), rng, size);
        QCOMPARE(qb(out), qb(whole));
    }
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
