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
    void chartPicture_data();
    void chartPicture();

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

void TestDialogs::chartPicture_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("at one pixel a pixel") << qreal(1);
    QTest::newRow("at twice the density") << qreal(2);
}

// The chart as a user sees it: drawn at the screen's density, not stretched from a
// 1:1 bitmap; light blue inside its grey frame; and in each of its three columns one
// line of ink for each of the column's rows, every line apart from the next, the
// capitals of the first about 14 pixels high.
void TestDialogs::chartPicture()
{
    QFETCH(qreal, ratio);
    const QImage chart = Form3::chart(ratio);
    QCOMPARE(chart.deviceIndependentSize().toSize(), QSize(355, 579));
    QCOMPARE(chart.size(), QSize(qRound(355 * ratio), qRound(579 * ratio)));
    QCOMPARE(chart.pixelColor(0, 0), QColor(0x9A, 0x9A, 0x9A));
    QCOMPARE(chart.pixelColor(qRound(20 * ratio), qRound(20 * ratio)), QColor(0xB3, 0xE5, 0xFF));
    QCOMPARE(chart.pixelColor(qRound(354 * ratio), qRound(578 * ratio)), QColor(Qt::white));

    const int columnLeft[] = {70, 160, 250, 350};
    const auto columns = chart::columns();
    QCOMPARE(columns.size(), 3);
    for (int c = 0; c < 3; ++c) {
        const auto inked = [&](int y) {
            for (int x = qRound(columnLeft[c] * ratio); x < qRound(columnLeft[c + 1] * ratio); ++x)
                if (qGray(chart.pixel(x, y)) < 200)
                    return true;
            return false;
        };
        // The first and last row of pixels of each line of ink; a mark one pixel above
        // its letter belongs to the letter's line.
        QList<QPair<int, int>> lines;
        // Inside the frame.
        for (int y = qRound(2 * ratio); y < chart.height() - qRound(2 * ratio); ++y) {
            if (!inked(y))
                continue;
            if (lines.isEmpty() || lines.back().second < y - 1 - qRound(ratio))
                lines.append({y, y});
            lines.back().second = y;
        }
        QCOMPARE(lines.size(), qsizetype(columns[c].size()));
        if (c == 0) {
            const qreal capital = (lines.front().second - lines.front().first + 1) / ratio;
            QVERIFY2(capital >= 10 && capital <= 16, qPrintable(QString::number(capital)));
        }
    }
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
