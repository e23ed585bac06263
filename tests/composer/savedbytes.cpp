// Writes the bytes the composer's Save writes for the UTF-8 text on standard input, so
// that tests outside Qt (the web edition's) hold their files to the window's own.

#include "composer/saver.h"

#include <QFile>

int main()
{
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const QByteArray bytes = Saver::fileContents(QString::fromUtf8(in.readAll()));
    return out.write(bytes) == bytes.size() && out.flush() ? 0 : 1;
}
