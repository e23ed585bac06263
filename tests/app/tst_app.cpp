// The windowed program's own command line, as a terminal user meets it.

#include <QCoreApplication>
#include <QProcess>
#include <QtTest/QTest>

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void unknownOptionIsRefused();
};

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The program beside the tests, with or without any display to open a window on.
Run vesnor(const QStringList &args, bool display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vesnor"), args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace

void TestApp::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("--help") << "--help"
                            << "Usage: "
                            << "[FILE]";
    QTest::newRow("-h") << "-h"
                        << "Usage: "
                        << "--version";
    QTest::newRow("--version") << "--version"
                               << "vesnor " VESNOR_VERSION << "MIT licence";
    QTest::newRow("-v") << "-v"
                        << "vesnor " VESNOR_VERSION << "The Vesnor developers";
}

void TestApp::answersWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, firstLine);
    QFETCH(QString, mentions);

    const Run result = vesnor({option}, false);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.section('\n', 0, 0).startsWith(firstLine), qPrintable(result.out));
    QVERIFY2(result.out.contains(mentions), qPrintable(result.out));
}

void TestApp::unknownOptionIsRefused()
{
    const Run result = vesnor({QStringLiteral("--fast")}, true);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(QStringLiteral("Unknown option 'fast'")), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestApp)
#include "tst_app.moc"
