#pragma once

#include <QList>
#include <QString>

#include <string_view>

// The engine's coding chart (vesnor/chart.h) as the window shows it, in Unicode.
namespace chart {

struct Row {
    QString letter; // Armenian, as Unicode
    QString key; // what to type
};

QList<QList<Row>> columns();

// 8-bit text, as the tables hold it.
QString unicode(std::string_view bytes);

} // namespace chart
