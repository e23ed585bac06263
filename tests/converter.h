#pragma once

#include <QCoreApplication>
#include <QString>

// vesnor-convert is built beside the tests.
inline QString converter()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vesnor-convert.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vesnor-convert");
#endif
}
