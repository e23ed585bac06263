#pragma once

#include <QByteArray>
#include <QString>

// Writes the output box into a new file of the series "output.txt", "new
// output.txt", "new new output.txt", ... in the application directory, or in the
// documents folder when the application directory cannot be written. A file is
// created only under a name nobody holds (not even a dangling link), is never
// overwritten, and is removed again if writing it fails.
class Saver {
public:
    Saver(QString applicationDir, QString documentsDir);

    static const QByteArray header;

    struct Result {
        bool saved = false;
        bool inDocuments = false; // saving in the application directory failed
        QString applicationError; // why, when it did
        QString fileName;
        QString folder;
        QString error; // why nothing was saved
    };

    // Distinct characters of text that the 8-bit file cannot hold, in order of appearance.
    static QString unencodable(const QString &text);

    // The file's bytes: the header, CR LF CR LF, and text in 8-bit with CR LF line
    // breaks; each character the 8-bit text cannot hold becomes "?".
    static QByteArray fileContents(const QString &text);

    Result save(const QString &text) const;

    // Writes text as UTF-8 without a byte-order mark, its line breaks as the system's
    // (CR LF on Windows, LF elsewhere), replacing the file only once all of it is
    // written. The system's reason when it could not, else nothing.
    static QString writeUtf8(const QString &path, QString text);

private:
    Result saveIn(const QString &dir, const QByteArray &contents) const;

    const QString applicationDir;
    const QString documentsDir;
};
