#pragma once

// Test texts written the way the conversion tables are usually quoted: hex codes
// separated by spaces, with plain text in single quotes, e.g. "'a' 0D 0A 'vo'".

#include <QByteArray>
#include <QtTest/QTest>

#include <string>
#include <string_view>

inline std::string h(std::string_view notation)
{
    std::string out;
    std::size_t i = 0;
    while (i < notation.size()) {
        if (notation[i] == ' ') {
            ++i;
        } else if (notation[i] == '\'') {
            const std::size_t end = notation.find('\'', i + 1);
            out.append(notation.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            out.push_back(
                static_cast<char>(std::stoi(std::string(notation.substr(i, 2)), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

// QCOMPARE prints a QByteArray with its bytes escaped, which is what a failing row needs.
inline QByteArray qb(const std::string &s)
{
    return QByteArray::fromStdString(s);
}
