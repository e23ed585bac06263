#include "dialogs/chart.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/twips.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>

namespace {

// Records the Close button's width and left edge, in twips, each time it changes.
class ButtonTrace : public QObject {
public:
    explicit ButtonTrace(QWidget *button)
        : button(button)
    {
        button->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The designed 1185 twips appear only when the window is first shown.
        if (event->type() == QEvent::Resize && button->width() != twips::toPixels(1185))
            steps.append({button->width() * twips::kPerPixel, button->x() * twips::kPerPixel});
        return false;
    }
    QWidget *const button;
    QList<QPair<int, int>> steps; // width, left
};

void activate(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Twips compared at pixel precision.
bool near(int twipsValue, int expected)
{
    return qAbs(twipsValue - expected) <= twips::kPerPixel;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void keysOnTheAboutWindow();
    void aboutButtonSequence();
    void codingCaptionSequence();
    void activationRestarts();
    void onlyTheLastActivatedAnimates();
    void closeHidesAndTheSameWindowReturns();
    void clickAnywhereHidesTheChart_data();
    void clickAnywhereHidesTheChart();
    void tenThousandActivations();
    void aboutTextsFitTheirBoxes();
    void chartRowsComeFromTheTables_data();
    void chartRowsComeFromTheTables();
    void chartPicture();

private:
    QWidget other; // any other window of the application
};

void TestDialogs::cleanup()
{
    Form2::instance()->hide();
    Form3::instance()->hide();
}

void TestDialogs::aboutButtonSequence()
{
    Form2 *about = Form2::instance();
    auto *close = about->findChild<QPushButton *>("Command1");
    ButtonTrace trace(close);
    about->present();
    activate(about);
    QTRY_VERIFY_WITH_TIMEOUT(trace.steps.size() >= 76, 20000);

    // First 1100 at 1850, out to 4600 at 100, back to 900 at 1950, then up again.
    QVERIFY(near(trace.steps[0].first, 1100) && near(trace.steps[0].second, 1850));
    QVERIFY(near(trace.steps[35].first, 4600) && near(trace.steps[35].second, 100));
    QVERIFY(near(trace.steps[36].first, 4500));
    QVERIFY(near(trace.steps[72].first, 900) && near(trace.steps[72].second, 1950));
    QVERIFY(near(trace.steps[73].first, 1000));
    QVERIFY(near(trace.steps[74].first, 1100));
    for (const auto &[width, left] : trace.steps) {
        QVERIFY(width >= 900 - 15 && width <= 4600 + 15);
        QVERIFY(near(left + width / 2, 2400)); // centred on one line
    }
}

void TestDialogs::codingCaptionSequence()
{
    Form3 *coding = Form3::instance();
    QSignalSpy titles(coding, &QWidget::windowTitleChanged);
    coding->present();
    activate(coding);
    QTRY_VERIFY_WITH_TIMEOUT(titles.size() >= 36, 30000);

    const QString coding6 = QStringLiteral("Coding");
    QCOMPARE(titles[0][0].toString(), QString(4, ' ') + coding6);
    QCOMPARE(titles[1][0].toString(), QString(8, ' ') + coding6);
    QCOMPARE(titles[33][0].toString(), QString(136, ' ') + coding6);
    QCOMPARE(titles[34][0].toString(), QString(4, ' ') + coding6);
    QCOMPARE(titles[35][0].toString(), QString(8, ' ') + coding6);
}

void TestDialogs::activationRestarts()
{
    Form2 *about = Form2::instance();
    ButtonTrace trace(about->findChild<QPushButton *>("Command1"));
    about->present();
    activate(about);
    QTRY_VERIFY(trace.steps.size() >= 5);
    activate(&other);
    trace.steps.clear();
    activate(about);
    QTRY_VERIFY(!trace.steps.isEmpty());
    QVERIFY(near(trace.steps[0].first, 1100));

    Form3 *coding = Form3::instance();
    coding->present();
    activate(coding);
    QSignalSpy titles(coding, &QWidget::windowTitleChanged);
    QTRY_VERIFY(titles.size() >= 2);
    activate(&other);
    titles.clear();
    activate(coding);
    QTRY_VERIFY(!titles.isEmpty());
    QCOMPARE(titles[0][0].toString(), QStringLiteral("    Coding"));
}

void TestDialogs::onlyTheLastActivatedAnimates()
{
    Form2 *about = Form2::instance();
    Form3 *coding = Form3::instance();
    ButtonTrace trace(about->findChild<QPushButton *>("Command1"));
    QSignalSpy titles(coding, &QWidget::windowTitleChanged);

    about->present();
    activate(about);
    coding->present();
    activate(coding);
    QVERIFY(coding->isAnimating());
    QVERIFY(!about->isAnimating());
    trace.steps.clear();
    titles.clear();
    QTest::qWait(700);
    QVERIFY(trace.steps.isEmpty());
    QVERIFY(titles.size() >= 1);

    // Another window of the application stops nothing.
    activate(&other);
    QVERIFY(coding->isAnimating());

    activate(about);
    QVERIFY(about->isAnimating());
    QVERIFY(!coding->isAnimating());
    titles.clear();
    QTest::qWait(700);
    QVERIFY(titles.isEmpty());
    QVERIFY(!trace.steps.isEmpty());
}

void TestDialogs::closeHidesAndTheSameWindowReturns()
{
    Form2 *about = Form2::instance();
    about->present();
    activate(about);
    QTest::mouseClick(about->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
    QCOMPARE(Form2::instance(), about);
    about->present();
    QVERIFY(about->isVisible());
    QCOMPARE(QApplication::topLevelWidgets().count(about), 1);
}

void TestDialogs::keysOnTheAboutWindow()
{
    Form2 *about = Form2::instance();
    about->present();
    activate(about);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(about->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!about->isVisible());
}

void TestDialogs::clickAnywhereHidesTheChart_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("heading") << "Label1";
    QTest::newRow("chart") << "Picture1";
    QTest::newRow("empty part of the window") << "Form3";
}

void TestDialogs::clickAnywhereHidesTheChart()
{
    QFETCH(QString, target);
    Form3 *coding = Form3::instance();
    coding->present();
    activate(coding);
    QWidget *widget = target == "Form3" ? coding : coding->findChild<QWidget *>(target);
    QTest::mouseClick(widget, Qt::LeftButton, {}, target == "Form3" ? QPoint(5, 5) : QPoint());
    QVERIFY(!coding->isVisible());
    QCOMPARE(Form3::instance(), coding);
}

void TestDialogs::tenThousandActivations()
{
    Form2 *about = Form2::instance();
    Form3 *coding = Form3::instance();
    about->present();
    coding->present();
    for (int k = 0; k < 10000; ++k) {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(k % 2 ? static_cast<QWidget *>(coding) : about, &activation);
    }
    QVERIFY(coding->isAnimating());
    QVERIFY(!about->isAnimating());
    QSignalSpy titles(coding, &QWidget::windowTitleChanged);
    QTRY_VERIFY(!titles.isEmpty());
    QCOMPARE(titles[0][0].toString(), QStringLiteral("    Coding"));
}

void TestDialogs::aboutTextsFitTheirBoxes()
{
    const auto labels = Form2::instance()->findChildren<QLabel *>(QRegularExpression("^Label"));
    QCOMPARE(labels.size(), 5);
    for (const QLabel *label : labels) {
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
            qPrintable(label->text()));
        QVERIFY(label->fontMetrics().height() <= label->height() + 2);
    }
    const QLabel *heading = Form3::instance()->findChild<QLabel *>("Label1");
    QCOMPARE(heading->text(), QString::fromUtf8("Ծրագրում օգտագործված կոդավորումը"));
    QVERIFY(heading->fontMetrics().horizontalAdvance(heading->text()) <= heading->width());
}

void TestDialogs::chartRowsComeFromTheTables_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("key");

    QTest::newRow("first capital") << 1 << 1 << "Ա"
                                   << "A";
    QTest::newRow("tso keyed by itself") << 1 << 3 << "Ց"
                                         << "Ց";
    QTest::newRow("E for ye") << 1 << 6 << "Ե"
                              << "E";
    QTest::newRow("E again for e") << 1 << 9 << "Է"
                                   << "E";
    QTest::newRow("@ gives the small letter among capitals") << 1 << 10 << "ը"
                                                             << "@";
    QTest::newRow("two-cell capital U") << 1 << 25 << "Ու"
                                        << "U";
    QTest::newRow("last capital") << 1 << 29 << "Ֆ"
                                  << "F";
    QTest::newRow("@ gives the capital among small letters") << 2 << 10 << "Ը"
                                                             << "@";
    QTest::newRow("s twice, first") << 2 << 7 << "ս"
                                    << "s";
    QTest::newRow("s twice, second") << 2 << 23 << "ս"
                                     << "s";
    QTest::newRow("two-cell small u") << 2 << 26 << "ու"
                                      << "u";
    QTest::newRow("small x") << 2 << 31 << "խ"
                             << "x";
    QTest::newRow("capital X heads the digraphs") << 3 << 1 << "Խ"
                                                  << "X";
    QTest::newRow("TH") << 3 << 2 << "Թ"
                        << "TH";
    QTest::newRow("ligature") << 3 << 24 << "և"
                              << "ev";
    QTest::newRow("last group") << 3 << 29 << "ռ"
                                << "rr";
}

void TestDialogs::chartRowsComeFromTheTables()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, letter);
    QFETCH(QString, key);

    const auto columns = chart::columns();
    QCOMPARE(columns.size(), 3);
    QCOMPARE(columns[0].size(), 29);
    QCOMPARE(columns[1].size(), 31);
    QCOMPARE(columns[2].size(), 29);
    QCOMPARE(columns[column - 1][row - 1].letter, letter);
    QCOMPARE(columns[column - 1][row - 1].key, key);
}

void TestDialogs::chartPicture()
{
    const QImage chart = Form3::chart();
    QCOMPARE(chart.size(), QSize(355, 579));
    QCOMPARE(chart.pixelColor(0, 0), QColor(0x9A, 0x9A, 0x9A));
    QCOMPARE(chart.pixelColor(354, 578), QColor(Qt::white));
    QCOMPARE(chart.pixelColor(20, 20), QColor(0xB3, 0xE5, 0xFF));
    // Text in each column, the second column's reaching lowest.
    auto inkIn = [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (qGray(chart.pixel(x, y)) < 80)
                    return true;
        return false;
    };
    QVERIFY(inkIn(76, 28, 160, 45));
    QVERIFY(inkIn(164, 14, 250, 31));
    QVERIFY(inkIn(256, 28, 350, 45));
    QVERIFY(inkIn(164, 530, 250, 565));
    QVERIFY(!inkIn(76, 530, 160, 565));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
