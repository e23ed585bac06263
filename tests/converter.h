#pragma once

// vesnor-convert as the tests start it: a real process with real pipes and files.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// vesnor-convert is built beside the tests.
inline QString converter()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vesnor-convert.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vesnor-convert");
#endif
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// `kernel`, where given, is what VESNOR_KERNEL says to the converter; empty, it
// says nothing.
inline Run run(const QStringList &args, const QByteArray &input = {},
    const QString &stdoutFile = {}, const QString &kernel = {})
{
    QProcess process;
    if (!kernel.isNull()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (kernel.isEmpty())
            environment.remove(QStringLiteral("VESNOR_KERNEL"));
        else
            environment.insert(QStringLiteral("VESNOR_KERNEL"), kernel);
        process.setProcessEnvironment(environment);
    }
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(converter(), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    // Messages are text: on Windows their lines end in CR LF.
    result.err = process.readAllStandardError().replace("\r\n", "\n");
    return result;
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}
