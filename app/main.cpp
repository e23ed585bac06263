// Vesnor starts with the composer window, centred on the screen; closing it ends
// the program. A file named on the command line ("Open with", a drop on the
// program's icon) goes into the input box.

#include "composer/form1.h"
#include "ui/centring.h"
#include "ui/fonts.h"
#include "vesnor/version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void describe(QCoreApplication &app, QCommandLineParser &parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("Vesnor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESNOR_VERSION));
    Q_UNUSED(app);
    parser.setApplicationDescription(
        QStringLiteral("Armenian-English text composer: type Armenian in Latin letters, press "
                       "Convert, and get Armenian script, or the other way round."));
    parser.addHelpOption();
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Displays version information.")));
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("A text file to open in the input box: UTF-8, or a file the composer "
                       "saved."),
        QStringLiteral("[FILE]"));
}

// --help and --version answer on the terminal, with no window and no display
// needed, so they are told apart before the windowing starts.
bool answersOnTheTerminal(int argc, char **argv)
{
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "--help-all"
            || arg == "--version" || arg == "-v")
            return true;
    }
    return false;
}

// A Windows program with windows has no console of its own: run from one, it
// borrows it, so that --help and --version print there instead of in a message box.
void borrowConsole()
{
#ifdef _WIN32
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

int printVersion()
{
    const int written = std::printf("vesnor %s\n%.*s", VESNOR_VERSION,
        static_cast<int>(vesnor::kLicence.size()), vesnor::kLicence.data());
    return written > 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (answersOnTheTerminal(argc, argv)) {
        borrowConsole();
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        describe(app, parser);
        parser.process(app); // answers --help itself, and ends the program
        return parser.isSet(QStringLiteral("version")) ? printVersion() : 0;
    }

    QApplication app(argc, argv);
    QCommandLineParser parser;
    describe(app, parser);
    parser.process(app);
    QApplication::setOrganizationDomain(QStringLiteral("vesnor.example"));
    QApplication::setDesktopFileName(QStringLiteral("example.vesnor.Vesnor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vesnor/vesnor.png")));
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
