#pragma once

#include <string>
#include <string_view>
#include <vector>

// The coding chart that Help shows, read from the table strings so that it can never
// disagree with the conversions: column 1 the capitals' cells, column 2 the small
// letters' cells, column 3 the last single cell and one row per two-letter group. An
// entry of two cells (Ու, ու) is one row; bars and separators are none. Letters and
// keys are 8-bit text, as the tables hold them.
namespace vesnor::chart {

// "Ծրագրում օգտագործված կոդավորումը", the chart's heading.
inline constexpr std::string_view kHeading
    = "\xCC\xF1\xB3\xB7\xF1\xE1\xF5\xD9\x20\xFB\xB7\xEF\xB3\xB7\xE1\xF1"
      "\xCD\xED\xB3\xCD\x20\xCF\xE1\xB9\xB3\xED\xE1\xF1\xE1\xF5\xD9\xC1";

struct Row {
    std::string letter;
    std::string key; // what to type
};

std::vector<std::vector<Row>> columns();

} // namespace vesnor::chart
