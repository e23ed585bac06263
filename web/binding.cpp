// What the page asks of the engine, as a plain C interface: the page writes UTF-8
// into the input buffer, calls one function, and reads the result before its next
// call. Every text the page shows comes from here; JavaScript only moves bytes.

#include "vesnor/chart.h"
#include "vesnor/codec.h"
#include "vesnor/textfile.h"
#include "vesnor/transliterator.h"
#include "vesnor/utf8.h"

#include <emscripten/emscripten.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace {

std::unique_ptr<char[]> input;
std::size_t inputSize = 0;
std::string result;

std::string_view given(std::size_t size)
{
    return {input.get(), size};
}

void appendUnicode(std::string_view eightBit, std::string &out)
{
    for (const char32_t c : vesnor::codec::decode(eightBit, {}))
        vesnor::utf8::append(c, out);
}

// The page reads the kind by number.
static_assert(static_cast<int>(vesnor::textfile::Kind::Binary) == 4);

} // namespace

extern "C" {

// Room for size bytes of input; earlier input is gone. The memory may have grown, so
// the page takes its view of it afresh after this call.
EMSCRIPTEN_KEEPALIVE char *vesnor_input(std::size_t size)
{
    if (size > inputSize) {
        input.reset(new char[size]);
        inputSize = size;
    }
    return input.get();
}

EMSCRIPTEN_KEEPALIVE const char *vesnor_result()
{
    return result.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t vesnor_result_size()
{
    return result.size();
}

// Converts UTF-8 in the direction given (0 Latin to Armenian, 1 back); characters the
// 8-bit text cannot hold come through in place. The input is the text's start, or
// lines from later in it: there it follows a line feed, and a byte-order mark
// opening it is text. 0 when the input is not UTF-8.
EMSCRIPTEN_KEEPALIVE int vesnor_convert(int direction, std::size_t size, int textStart)
{
    result.clear();
    vesnor::StreamConverter converter(
        direction == 0 ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng);
    const bool converted = (textStart || converter.convert("\n", result))
        && converter.convert(given(size), result) && converter.finish(result);
    if (!textStart)
        result.erase(0, 1);
    return converted;
}

// The bytes Save writes for this text in the output box, "?" for each character
// without an 8-bit code.
EMSCRIPTEN_KEEPALIVE void vesnor_save(std::size_t size)
{
    result.clear();
    vesnor::textfile::Encoder encoder({.lossy = true});
    encoder.encode(given(size), result);
    encoder.finish(result);
}

// The characters Save would write as "?", each once, as UTF-8.
EMSCRIPTEN_KEEPALIVE void vesnor_unencodable(std::size_t size)
{
    result.clear();
    for (const char32_t c : vesnor::textfile::unencodable(given(size)))
        vesnor::utf8::append(c, result);
}

// A file's bytes as the text the input box takes; returns what the file holds
// (textfile::Kind: 0 saved, 1 8-bit, 2 UTF-8, 3 UTF-16, 4 not text, then no text).
EMSCRIPTEN_KEEPALIVE int vesnor_open(std::size_t size)
{
    vesnor::textfile::Text text = vesnor::textfile::toText(given(size));
    result = std::move(text.utf8);
    return static_cast<int>(text.kind);
}

// The coding chart: the heading on the first line, then a line per row, its column
// (1-3), letter and key apart by tabs.
EMSCRIPTEN_KEEPALIVE void vesnor_chart()
{
    result.clear();
    appendUnicode(vesnor::chart::kHeading, result);
    result += '\n';
    int number = 0;
    for (const auto &column : vesnor::chart::columns()) {
        ++number;
        for (const vesnor::chart::Row &row : column) {
            result += std::to_string(number) + '\t';
            appendUnicode(row.letter, result);
            result += '\t';
            appendUnicode(row.key, result);
            result += '\n';
        }
    }
}

EMSCRIPTEN_KEEPALIVE const char *vesnor_version()
{
    return VESNOR_VERSION;
}

} // extern "C"
