#include "chart.h"

#include "engine/codec.h"
#include "engine/tables.h"

namespace chart {

namespace {

QString unicode(std::string_view bytes)
{
    QString text;
    for (const char c : bytes)
        text += QString::fromStdU32String(
            std::u32string(1, vesnor::codec::toUnicode(static_cast<unsigned char>(c))));
    return text;
}

// Cells first..last (1-based) of the single-letter region, a continuation cell
// joining the entry before it.
QList<Row> singles(std::size_t first, std::size_t last)
{
    using namespace vesnor::tables;
    QList<Row> rows;
    for (std::size_t p = first; p <= last; ++p) {
        const std::size_t cells = kKinds[p - 1] == '0' ? 2 : 1;
        rows.append(
            {unicode(kArmenianSide.substr(p - 1, cells)), unicode(kLatinSide.substr(p - 1, 1))});
        p += cells - 1;
    }
    return rows;
}

} // namespace

QList<QList<Row>> columns()
{
    using namespace vesnor::tables;
    QList<Row> third = singles(kLastSingle, kLastSingle);
    for (std::size_t p = kLastSingle + 1; p + 1 <= kCells; p += kGroupSize)
        third.append(
            {unicode(kArmenianSide.substr(p - 1, 1)), unicode(kLatinSide.substr(p - 1, 2))});
    return {singles(3, kLastCapital), singles(kLastCapital + 1, kLastSmall), third};
}

} // namespace chart
