#pragma once

#include <QString>

// Reads a file for the input box: UTF-8 and UTF-16 text as they are, and a file
// saved by the composer, or other 8-bit text, decoded with its header line dropped.
// What counts as which is the engine's rule, so the window and vesnor-convert read
// every file alike.
class Opener {
public:
    // Larger files would keep the window busy for a long time; none of the texts it
    // is meant for comes near this.
    static constexpr qint64 kLargest = qint64{64} << 20;

    struct Result {
        bool opened = false;
        QString text;
        QString error; // why not, in a sentence for the user
    };

    static Result open(const QString &path, qint64 largest = kLargest);
};
