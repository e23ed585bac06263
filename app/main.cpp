// Vesnor starts with the composer window, centred on the screen; closing it ends
// the program.

#include "composer/form1.h"
#include "ui/centring.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vesnor"));
    QApplication::setApplicationVersion(QStringLiteral(VESNOR_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("vesnor.example"));
    QApplication::setDesktopFileName(QStringLiteral("example.vesnor.Vesnor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vesnor/vesnor.png")));

    Form1 window;
    new CentreOnFirstShow(&window);
    window.show();
    return app.exec();
}
