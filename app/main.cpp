// Vesnor starts with the composer window, centred on the screen; closing it ends
// the program. A file named on the command line ("Open with", a drop on the
// program's icon) goes into the input box.

#include "composer/form1.h"
#include "ui/centring.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesnor"));
    QApplication::setApplicationVersion(QStringLiteral(VESNOR_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("vesnor.example"));
    QApplication::setDesktopFileName(QStringLiteral("example.vesnor.Vesnor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vesnor/vesnor.png")));

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("A text file to open in the input box: UTF-8, or a file the composer "
                       "saved."),
        QStringLiteral("[FILE]"));
    parser.parse(QApplication::arguments());
    const QStringList files = parser.positionalArguments();

    Form1 window;
    new CentreOnFirstShow(&window);
    window.show();
    // Once the event loop runs, so that the messages have their window.
    QTimer::singleShot(0, &window, [&window] { warnIfNoArmenianFont(&window); });
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, file = files.front()] { window.openFile(file); });
    }
    return app.exec();
}
