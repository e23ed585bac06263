#include "chart.h"

#include "vesnor/chart.h"
#include "vesnor/codec.h"

namespace chart {

QString unicode(std::string_view bytes)
{
    return QString::fromStdU32String(vesnor::codec::decode(bytes, {}));
}

QList<QList<Row>> columns()
{
    QList<QList<Row>> shown;
    for (const auto &column : vesnor::chart::columns()) {
        QList<Row> rows;
        for (const vesnor::chart::Row &row : column)
            rows.append({unicode(row.letter), unicode(row.key)});
        shown.append(rows);
    }
    return shown;
}

} // namespace chart
