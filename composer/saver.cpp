#include "saver.h"

#include "engine/codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QByteArray Saver::header = "To open this text in Word use Unicode UTF-7 encoding. ";

Saver::Saver(QString applicationDir, QString documentsDir)
    : applicationDir(std::move(applicationDir))
    , documentsDir(std::move(documentsDir))
{
}

QString Saver::unencodable(const QString &text)
{
    std::u32string seen;
    for (const char32_t c : text.toStdU32String()) {
        if (!vesnor::codec::fromUnicode(c) && seen.find(c) == std::u32string::npos)
            seen.push_back(c);
    }
    return QString::fromStdU32String(seen);
}

QByteArray Saver::fileContents(const QString &text)
{
    QByteArray bytes = header + "\r\n\r\n";
    for (const char32_t c : text.toStdU32String()) {
        if (c == U'\n') {
            bytes += "\r\n";
        } else if (const auto byte = vesnor::codec::fromUnicode(c)) {
            bytes += static_cast<char>(*byte);
        } else {
            bytes += '?';
        }
    }
    return bytes;
}

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
    QString name = QStringLiteral("output.txt");
    for (;;) {
        const QString path = QDir(dir).filePath(name);
        QFile file(path);
        // NewOnly creates exclusively: it fails if anything, a dangling link
        // included, holds the name, even if it appeared a moment ago.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const QFileInfo taken(path);
            if (taken.exists() || taken.isSymLink()) {
                name.prepend(QStringLiteral("new "));
                continue;
            }
            result.error = file.errorString();
            return result;
        }
        const bool written = file.write(contents) == contents.size() && file.flush();
        file.close();
        if (!written || file.error() != QFileDevice::NoError) {
            result.error = file.errorString();
            file.remove();
            return result;
        }
        result.saved = true;
        result.fileName = name;
        return result;
    }
}
