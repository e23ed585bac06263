#include "saver.h"

#include "vesnor/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

const QByteArray Saver::header = QByteArray::fromStdString(std::string(vesnor::textfile::kHeader));

Saver::Saver(QString applicationDir, QString documentsDir)
    : applicationDir(std::move(applicationDir))
    , documentsDir(std::move(documentsDir))
{
}

QString Saver::unencodable(const QString &text)
{
    return QString::fromStdU32String(vesnor::textfile::unencodable(text.toStdString()));
}

QByteArray Saver::fileContents(const QString &text)
{
    // The same bytes vesnor-convert --encode writes for the same text.
    vesnor::textfile::Encoder encoder({.lossy = true});
    std::string bytes;
    encoder.encode(text.toStdString(), bytes);
    encoder.finish(bytes);
    return QByteArray::fromStdString(bytes);
}

namespace {

// A full disk shows first as a write that takes less than it was given, with no
// error; writing on brings the real one.
bool writeAll(QFile &file, const QByteArray &contents)
{
    qsizetype done = 0;
    while (done < contents.size()) {
        const qint64 n = file.write(contents.constData() + done, contents.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    if (!file.flush())
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

} // namespace

Saver::Result Saver::save(const QString &text) const
{
    const QByteArray contents = fileContents(text);
    Result result = saveIn(applicationDir, contents);
    if (result.saved || documentsDir.isEmpty())
        return result;
    // Installed programs usually live where their users cannot write.
    const QString applicationError = result.error;
    QDir().mkpath(documentsDir);
    result = saveIn(documentsDir, contents);
    result.inDocuments = true;
    result.applicationError = applicationError;
    if (!result.saved) {
        result.error = QStringLiteral("%1: %2\n%3: %4")
                           .arg(QDir::toNativeSeparators(applicationDir), applicationError,
                               QDir::toNativeSeparators(documentsDir), result.error);
    }
    return result;
}

Saver::Result Saver::saveIn(const QString &dir, const QByteArray &contents) const
{
    Result result;
    result.folder = dir;
    for (std::size_t taken = 0;; ++taken) {
        const QString name
            = QString::fromStdString(vesnor::textfile::nameInSeries("output.txt", taken));
        const QString path = QDir(dir).filePath(name);
        QFile file(path);
        // NewOnly creates exclusively: it fails if anything, a dangling link
        // included, holds the name, even if it appeared a moment ago.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const QFileInfo held(path);
            if (held.exists() || held.isSymLink())
                continue;
            result.error = file.errorString();
            return result;
        }
        if (!writeAll(file, contents)) {
            result.error = file.errorString();
            file.close();
            file.remove();
            return result;
        }
        result.saved = true;
        result.fileName = name;
        return result;
    }
}

QString Saver::writeUtf8(const QString &path, QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
#ifdef _WIN32
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
#endif
    const QByteArray bytes = text.toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}
