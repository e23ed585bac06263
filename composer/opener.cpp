#include "opener.h"

#include "vesnor/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

Opener::Result Opener::open(const QString &path, qint64 largest)
{
    Result result;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (info.isDir()) {
        result.error = QStringLiteral("\u201C%1\u201D is a folder, not a file.").arg(name);
        return result;
    }
    const auto tooLarge = [&](qint64 size) {
        const QLocale locale;
        return QStringLiteral("\u201C%1\u201D is too large to open: %2. The composer opens files "
                              "of up to %3.")
            .arg(name, locale.formattedDataSize(size, 1), locale.formattedDataSize(largest, 0));
    };
    if (info.size() > largest) {
        result.error = tooLarge(info.size());
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("\u201C%1\u201D could not be opened: %2")
                           .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                               file.errorString());
        return result;
    }
    // The size may have changed since it was looked at, or be unknown (a pipe).
    const QByteArray bytes = file.read(largest + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("\u201C%1\u201D could not be read: %2")
                           .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                               file.errorString());
        return result;
    }
    if (bytes.size() > largest) {
        result.error = tooLarge(qMax(bytes.size(), file.size()));
        return result;
    }

    const vesnor::textfile::Text text
        = vesnor::textfile::toText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (text.kind == vesnor::textfile::Kind::Binary) {
        result.error
            = QStringLiteral("\u201C%1\u201D is not a text file: it holds NUL bytes.").arg(name);
        return result;
    }
    result.text = QString::fromStdString(text.utf8);
    result.opened = true;
    return result;
}
