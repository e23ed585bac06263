#include "dialogs/animatedwindow.h"
#include "dialogs/chart.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "ui/twips.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <memory>

namespace {

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

// Long enough that no timer step ever comes during a test: the tests take the
// steps themselves.
constexpr int kNever = 24 * 3600 * 1000;

struct ButtonStep {
    int width; // twips
    int left;
};

ButtonStep buttonAfterStep(Form2 *about)
{
    about->step();
    const auto *close = about->findChild<QPushButton *>("Command1");
    return {close->width() * twips::kPerPixel, close->x() * twips::kPerPixel};
}

QString titleAfterStep(Form3 *coding)
{
    coding->step();
    return coding->windowTitle();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysOnTheAboutWindow();
    void pictureShowsTheFocus();
    void aboutButtonSequence();
    void codingCaptionSequence();
    void activationRestarts();
    void returningFromAnotherProgramChangesNothing();
    void onlyTheLastActivatedAnimates();
    void presentRestoresAMinimisedWindow();
    void closeHidesAndTheSameWindowReturns();
    void clickAnywhereHidesTheChart_data();
    void clickAnywhereHidesTheChart();
    void tenThousandActivations();
    void realTimersWaitTheirWholeInterval();
    void aboutTextsFitTheirBoxes();
    void chartRowsComeFromTheTables_data();
    void chartRowsComeFromTheTables();
    void chartIsSharpAtHighDensity();
    void chartPicture();
    void chartRowsDoNotTouch_data();
    void chartRowsDoNotTouch();

private:
    std::unique_ptr<AnimationCoordinator> coordinator;
    std::unique_ptr<Form2> about;
    std::unique_ptr<Form3> coding;
    QWidget other; // any other window of the application
};

void TestDialogs::init()
{
    coordinator = std::make_unique<AnimationCoordinator>();
    about = std::make_unique<Form2>();
    coding = std::make_unique<Form3>();
    coordinator->add(about.get());
    coordinator->add(coding.get());
    about->setStepInterval(kNever);
    coding->setStepInterval(kNever);
}

void TestDialogs::cleanup()
{
    about.reset();
    coding.reset();
    coordinator.reset();
}

void TestDialogs::aboutButtonSequence()
{
    about->present();
    activate(about.get());
    QVERIFY(about->isAnimating());

    QList<ButtonStep> steps;
    for (int k = 0; k < 76; ++k)
        steps.append(buttonAfterStep(about.get()));
    // First 1100 at 1850, out to 4600 at 100, back to 900 at 1950, then up again.
    QVERIFY(near(steps[0].width, 1100) && near(steps[0].left, 1850));
    QVERIFY(near(steps[35].width, 4600) && near(steps[35].left, 100));
    QVERIFY(near(steps[36].width, 4500));
    QVERIFY(near(steps[72].width, 900) && near(steps[72].left, 1950));
    QVERIFY(near(steps[73].width, 1000));
    QVERIFY(near(steps[74].width, 1100));
    for (const auto &[width, left] : steps) {
        QVERIFY(width >= 900 - 15 && width <= 4600 + 15);
        QVERIFY(near(left + width / 2, 2400)); // centred on one line
    }
}

void TestDialogs::codingCaptionSequence()
{
    coding->present();
    activate(coding.get());
    QCOMPARE(coding->windowTitle(), QStringLiteral("Coding"));

    QStringList titles;
    for (int k = 0; k < 36; ++k)
        titles.append(titleAfterStep(coding.get()));
    const QString coding6 = QStringLiteral("Coding");
    QCOMPARE(titles[0], QString(4, ' ') + coding6);
    QCOMPARE(titles[1], QString(8, ' ') + coding6);
    QCOMPARE(titles[33], QString(136, ' ') + coding6);
    QCOMPARE(titles[34], QString(4, ' ') + coding6);
    QCOMPARE(titles[35], QString(8, ' ') + coding6);
}

// Switching to another window of the program and back, or pressing About or Help
// again, starts the animation from its beginning.
void TestDialogs::activationRestarts()
{
    about->present();
    activate(about.get());
    for (int k = 0; k < 5; ++k)
        about->step();
    activate(&other);
    activate(about.get());
    QVERIFY(near(buttonAfterStep(about.get()).width, 1100));

    for (int k = 0; k < 5; ++k)
        about->step();
    activate(&other);
    about->present();
    QVERIFY(near(buttonAfterStep(about.get()).width, 1100));

    coding->present();
    activate(coding.get());
    for (int k = 0; k < 3; ++k)
        coding->step();
    activate(&other);
    activate(coding.get());
    QCOMPARE(titleAfterStep(coding.get()), QStringLiteral("    Coding"));
}

// The window system reports a return from another program as the focus window
// going from none to the window; the animation goes on where it was.
void TestDialogs::returningFromAnotherProgramChangesNothing()
{
    about->present();
    activate(about.get());
    for (int k = 0; k < 5; ++k)
        about->step();
    emit qApp->focusWindowChanged(nullptr);
    emit about->activated();
    emit qApp->focusWindowChanged(about->windowHandle());
    QVERIFY(about->isAnimating());
    QVERIFY(near(buttonAfterStep(about.get()).width, 1600));

    // Nor does a return to the other auxiliary window start it.
    coding->show();
    emit qApp->focusWindowChanged(nullptr);
    emit coding->activated();
    QVERIFY(!coding->isAnimating());
    QVERIFY(about->isAnimating());
}

void TestDialogs::onlyTheLastActivatedAnimates()
{
    about->present();
    activate(about.get());
    coding->present();
    activate(coding.get());
    QVERIFY(coding->isAnimating());
    QVERIFY(!about->isAnimating());

    // Another window of the application stops nothing.
    activate(&other);
    QVERIFY(coding->isAnimating());

    activate(about.get());
    QVERIFY(about->isAnimating());
    QVERIFY(!coding->isAnimating());
}

void TestDialogs::presentRestoresAMinimisedWindow()
{
    for (AnimatedWindow *window :
        {static_cast<AnimatedWindow *>(about.get()), static_cast<AnimatedWindow *>(coding.get())}) {
        window->present();
        activate(window);
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        window->present();
        QVERIFY(!window->isMinimized());
        QVERIFY(window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->isAnimating());
    }
}

void TestDialogs::closeHidesAndTheSameWindowReturns()
{
    about->present();
    activate(about.get());
    QTest::mouseClick(about->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
    about->present();
    QVERIFY(about->isVisible());
    QCOMPARE(QApplication::topLevelWidgets().count(about.get()), 1);
}

void TestDialogs::keysOnTheAboutWindow()
{
    about->present();
    activate(about.get());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(about->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!about->isVisible());
}

// The About window opens with the focus on its picture, which must show it.
void TestDialogs::pictureShowsTheFocus()
{
    about->present();
    activate(about.get());
    auto *picture = about->findChild<QWidget *>("Picture1");
    QVERIFY(picture->hasFocus());
    const QImage focused = picture->grab().toImage();
    about->findChild<QWidget *>("Command1")->setFocus();
    QVERIFY(!picture->hasFocus());
    QVERIFY(picture->grab().toImage() != focused);
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
    coding->present();
    activate(coding.get());
    QWidget *widget = target == "Form3" ? coding.get() : coding->findChild<QWidget *>(target);
    QTest::mouseClick(widget, Qt::LeftButton, {}, target == "Form3" ? QPoint(5, 5) : QPoint());
    QVERIFY(!coding->isVisible());
}

void TestDialogs::tenThousandActivations()
{
    about->present();
    coding->present();
    for (int k = 0; k < 10000; ++k)
        emit(k % 2 ? static_cast<AnimatedWindow *>(coding.get()) : about.get())->presented();
    QVERIFY(coding->isAnimating());
    QVERIFY(!about->isAnimating());
    QCOMPARE(titleAfterStep(coding.get()), QStringLiteral("    Coding"));
}

// The one test on the real clock: the timers step by themselves, and no step
// comes before its interval has passed (the upper bound only guards a hang).
void TestDialogs::realTimersWaitTheirWholeInterval()
{
    struct Case {
        AnimatedWindow *window;
        int interval; // milliseconds
        int steps;
    };
    for (const Case &c : {Case{about.get(), 50, 6}, Case{coding.get(), 300, 3}}) {
        c.window->setStepInterval(c.interval);
        c.window->present();
        activate(c.window);
        QElapsedTimer clock;
        QList<qint64> at;
        const auto connection = connect(
            c.window, &AnimatedWindow::stepped, this, [&] { at.append(clock.nsecsElapsed()); });
        clock.start();
        c.window->restart();
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= c.steps, 60000);
        disconnect(connection);
        c.window->stop();

        // Half a millisecond allows for the two clocks' granularity.
        const qint64 least = qint64(c.interval) * 1000000 - 500000;
        QVERIFY2(at[0] >= least, qPrintable(QString::number(at[0])));
        for (int k = 1; k < c.steps; ++k)
            QVERIFY2(at[k] - at[k - 1] >= least, qPrintable(QString::number(at[k] - at[k - 1])));
    }
}

void TestDialogs::aboutTextsFitTheirBoxes()
{
    const auto labels = about->findChildren<QLabel *>(QRegularExpression("^Label"));
    QCOMPARE(labels.size(), 5);
    for (const QLabel *label : labels) {
        const int advance = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(advance <= label->width(),
            qPrintable(QStringLiteral("%1: %2 px in %3 px, %4 at %5 pt")
                           .arg(label->text())
                           .arg(advance)
                           .arg(label->width())
                           .arg(QFontInfo(label->font()).family())
                           .arg(label->font().pointSizeF())));
        QVERIFY(label->fontMetrics().height() <= label->height() + 2);
    }
    const QLabel *heading = coding->findChild<QLabel *>("Label1");
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

void TestDialogs::chartIsSharpAtHighDensity()
{
    // Drawn at the screen's density, not stretched from a 1:1 bitmap.
    const QImage chart = Form3::chart(2);
    QCOMPARE(chart.size(), QSize(710, 1158));
    QCOMPARE(chart.deviceIndependentSize().toSize(), QSize(355, 579));
    QCOMPARE(chart.pixelColor(40, 40), QColor(0xB3, 0xE5, 0xFF));
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

void TestDialogs::chartRowsDoNotTouch_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("at one pixel a pixel") << qreal(1);
    QTest::newRow("at twice the density") << qreal(2);
}

// Between the baselines of every two neighbouring rows lies a line of the column
// with no ink, and the capitals are still about 14 pixels high.
void TestDialogs::chartRowsDoNotTouch()
{
    QFETCH(qreal, ratio);
    const QImage chart = Form3::chart(ratio);
    const int columnLeft[] = {70, 160, 250};
    const int columnRight[] = {160, 250, 350};
    const int firstBaseline[] = {43, 29, 43};
    const int rows[] = {29, 31, 29};
    const auto blank = [&](int column, int y) {
        for (int x = qRound(columnLeft[column] * ratio); x < qRound(columnRight[column] * ratio);
             ++x) {
            if (qGray(chart.pixel(x, y)) < 200)
                return false;
        }
        return true;
    };
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r + 1 < rows[c]; ++r) {
            const int from = qRound((firstBaseline[c] + r * 17) * ratio);
            const int to = qRound((firstBaseline[c] + (r + 1) * 17) * ratio);
            bool gap = false;
            for (int y = from + 1; y < to && !gap; ++y)
                gap = blank(c, y);
            QVERIFY2(gap,
                qPrintable(QStringLiteral("column %1: rows %2 and %3 touch")
                               .arg(c + 1)
                               .arg(r + 1)
                               .arg(r + 2)));
        }
    }
    // The capital Ա of the first row: ink from its top to the baseline.
    int top = -1;
    const int baseline = qRound(43 * ratio);
    for (int y = qRound(20 * ratio); y < baseline && top < 0; ++y) {
        for (int x = qRound(76 * ratio); x < qRound(90 * ratio) && top < 0; ++x) {
            if (qGray(chart.pixel(x, y)) < 128)
                top = y;
        }
    }
    const qreal height = (baseline - top) / ratio;
    QVERIFY2(height >= 10 && height <= 15, qPrintable(QString::number(height)));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
