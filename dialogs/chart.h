#pragma once

#include <QList>
#include <QString>

// The rows of the coding chart, read from the table strings so that the chart can
// never disagree with the conversions: column 1 the capitals' cells, column 2 the
// small letters' cells, column 3 the last single cell and one row per two-letter
// group. An entry of two cells (Ու, ու) is one row; bars and separators are none.
namespace chart {

struct Row {
    QString letter; // Armenian, as Unicode
    QString key; // what to type
};

QList<QList<Row>> columns();

} // namespace chart
