// The composer's boxes with large texts, inside the program and against Qt's own
// floor in the same run: Convert of 1 MiB with line breaks beside a bare
// QPlainTextEdit::setPlainText of the same result; a keystroke in a 1 MB single
// line; a pasted 5 MB line, its peak memory and whether the window then idles;
// converting as you type: a keystroke in 1 MiB of 10,000 lines and in 100 KB, and a
// pasted 1 MiB beside Convert of it.
// Each step counts until the window has laid out and painted what changed.

#include "composer/form1.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString words(qsizetype size, double breaks, quint32 seed)
{
    const QStringList pool = {
        "Barev", "Dzez", "vonc", "es", "Yerevan", "shnorhakal", "em", "ayo", "voch", "inch", "ka"};
    QRandomGenerator random(seed);
    QString text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += pool.at(random.bounded(pool.size()));
        text += random.generateDouble() < breaks ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Everything the change set off: events, layout and a paint of the whole window.
void settle(QWidget *window)
{
    QCoreApplication::processEvents();
    window->repaint();
    QCoreApplication::processEvents();
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A plain QPlainTextEdit of the same font and size as `like`, alone in a window of
// the composer's size: Qt's own floor for what the composer's box does.
class BareBox {
public:
    BareBox(const QPlainTextEdit *like, QSize size)
        : box(new QPlainTextEdit(&holder))
    {
        box->setFont(like->font());
        box->setGeometry(like->geometry());
        holder.resize(size);
        holder.show();
        if (!QTest::qWaitForWindowExposed(&holder))
            qFatal("the bare box never showed");
    }
    QWidget holder;
    QPlainTextEdit *const box;
};

// Milliseconds of each of `rounds` runs of `step`, each until the window has painted.
template<typename Step> std::vector<double> timed(QWidget *window, int rounds, Step step)
{
    std::vector<double> times;
    QElapsedTimer clock;
    for (int k = 0; k < rounds; ++k) {
        clock.start();
        step();
        settle(window);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return times;
}

// Milliseconds of a keystroke at the end of `text` in `box`, each until painted.
double keystroke(QPlainTextEdit *box, QWidget *holder, const QString &text)
{
    box->setPlainText(text);
    box->moveCursor(QTextCursor::End);
    box->setFocus();
    settle(holder);
    return median(timed(holder, 21, [&] { QTest::keyClick(box, Qt::Key_A); }));
}

void line(const char *what, double value, const char *unit, const char *goal)
{
    std::printf("%-52s %8.1f %-4s", what, value, unit);
    if (*goal)
        std::printf(" (goal: %s)", goal);
    std::printf("\n");
}

} // namespace

// With an argument (convert, type, live, paste or paste-bare), only that part runs.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Turning live conversion on here must not turn it on for the user.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto runs
        = [&](const char *part) { return only.isEmpty() || only == QLatin1String(part); };
    Form1 window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto *text1 = window.findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    auto *text2 = window.findChild<QPlainTextEdit *>(QStringLiteral("Text2"));
    auto *convert = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    QElapsedTimer clock;

    // Convert of 1 MiB with line breaks, beside a bare box given the same result.
    if (runs("convert")) {
        text1->setPlainText(words(1 << 20, 0.1, 2));
        settle(&window);
        QTest::mouseClick(convert, Qt::LeftButton);
        settle(&window);
        const QString result = text2->toPlainText();
        BareBox bare(text2, window.size());
        std::vector<double> converts;
        std::vector<double> bares;
        for (int round = 0; round < 9; ++round) {
            converts.push_back(
                median(timed(&window, 1, [&] { QTest::mouseClick(convert, Qt::LeftButton); })));
            bare.box->clear();
            settle(&bare.holder);
            bares.push_back(
                median(timed(&bare.holder, 1, [&] { bare.box->setPlainText(result); })));
        }
        const double convertMs = median(converts);
        const double bareMs = median(bares);
        line("Convert of 1 MiB with line breaks, to painted", convertMs, "ms", "");
        line("  bare QPlainTextEdit::setPlainText of the result", bareMs, "ms", "");
        line("  ratio", convertMs / bareMs, "x", "<= 1.3");
        text1->clear();
        text2->clear();
        settle(&window);
    }

    // A keystroke at the end of a 1 MB single line, and the same in a bare box.
    if (runs("type")) {
        const QString longLine = words(1000000, 0, 3);
        line("keystroke in a 1 MB single line, to painted", keystroke(text1, &window, longLine),
            "ms", "<= 50");
        BareBox bare(text1, window.size());
        line("  the same in a bare QPlainTextEdit", keystroke(bare.box, &bare.holder, longLine),
            "ms", "");
        text1->clear();
        settle(&window);
    }

    // Converting as you type: a key at the end of a text, to both boxes painted, beside
    // the same key in a bare box; a pasted 1 MiB beside Convert of it.
    if (runs("live")) {
        QAction *live = nullptr;
        for (QAction *each : window.actions())
            if (each->text() == QLatin1String("Convert as you type"))
                live = each;
        const QString mebibyte = words(1 << 20, 0.051, 5);
        const auto paste = [&] {
            text1->selectAll();
            text1->insertPlainText(mebibyte);
        };
        const double plainPasteMs = median(timed(&window, 9, paste));
        const double convertMs
            = median(timed(&window, 9, [&] { QTest::mouseClick(convert, Qt::LeftButton); }));
        live->trigger();
        text1->clear();
        settle(&window);
        const double pasteMs = median(timed(&window, 9, paste));
        line("1 MiB pasted with live conversion on, to painted", pasteMs, "ms", "");
        line("  Convert of the same, to painted", convertMs, "ms", "");
        line("  ratio", pasteMs / convertMs, "x", "<= 1.3");
        line("  the paste alone, live off (the floor beside Convert)", plainPasteMs, "ms", "");
        line("  ratio to the paste alone and Convert", pasteMs / (plainPasteMs + convertMs), "x",
            "");

        std::printf("1 MiB has %lld lines\n", static_cast<long long>(mebibyte.count(u'\n') + 1));
        const double liveMs = keystroke(text1, &window, mebibyte);
        BareBox bare(text1, window.size());
        const double bareMs = keystroke(bare.box, &bare.holder, mebibyte);
        line("live: keystroke at the end of 1 MiB of lines, to painted", liveMs, "ms", "");
        line("  the same in a bare QPlainTextEdit", bareMs, "ms", "");
        line("  ratio", liveMs / bareMs, "x", "<= 1.5");
        line("live: keystroke at the end of 100 KB of lines, to painted",
            keystroke(text1, &window, words(100000, 0.051, 6)), "ms", "<= 16");
        live->trigger();
        text1->clear();
        settle(&window);
    }

    // The floor for the paste: a bare box given the same line. The peak is the
    // process's, so this part runs alone (`paste-bare`).
    if (only == QLatin1String("paste-bare")) {
        BareBox bare(text1, window.size());
        window.hide();
        settle(&bare.holder);
        const long before = peakKilobytes();
        bare.box->setPlainText(words(5000000, 0, 4));
        settle(&bare.holder);
        line("paste of a 5 MB line into a bare QPlainTextEdit: peak",
            double(peakKilobytes()) / 1024, "MB", "");
        line("  of which since before it", double(peakKilobytes() - before) / 1024, "MB", "");
        return 0;
    }

    // A 5 MB line pasted over everything, then the window left alone.
    if (runs("paste")) {
        const long before = peakKilobytes();
        const QString pasted = words(5000000, 0, 4);
        text1->selectAll();
        clock.start();
        text1->insertPlainText(pasted);
        settle(&window);
        const double pasteMs = double(clock.nsecsElapsed()) / 1e6;
        const double idleFrom = processorSeconds();
        QTest::qWait(3000);
        const double idle = processorSeconds() - idleFrom;
        line("paste of a 5 MB line, to painted", pasteMs, "ms", "");
        line("  peak memory of the whole process", double(peakKilobytes()) / 1024, "MB", "<= 150");
        line(
            "  of which since before the paste", double(peakKilobytes() - before) / 1024, "MB", "");
        line("  processor time over the next 3 s", idle * 1000, "ms", "idle, a few ms");
    }
    return 0;
}
