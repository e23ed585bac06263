#include "vesnor/chart.h"

#include "tables.h"

namespace vesnor::chart {

namespace {

// Cells first..last (1-based) of the single-letter region, a continuation cell
// joining the entry before it.
std::vector<Row> singles(std::size_t first, std::size_t last)
{
    using namespace tables;
    std::vector<Row> rows;
    for (std::size_t p = first; p <= last; ++p) {
        const std::size_t cells = kKinds[p - 1] == '0' ? 2 : 1;
        rows.push_back({std::string(kArmenianSide.substr(p - 1, cells)),
            std::string(kLatinSide.substr(p - 1, 1))});
        p += cells - 1;
    }
    return rows;
}

} // namespace

std::vector<std::vector<Row>> columns()
{
    using namespace tables;
    std::vector<Row> third = singles(kLastSingle, kLastSingle);
    for (std::size_t p = kLastSingle + 1; p + 1 <= kCells; p += kGroupSize)
        third.push_back({std::string(kArmenianSide.substr(p - 1, 1)),
            std::string(kLatinSide.substr(p - 1, 2))});
    return {singles(3, kLastCapital), singles(kLastCapital + 1, kLastSmall), third};
}

} // namespace vesnor::chart
