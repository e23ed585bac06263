#pragma once

// Streams are checked by feeding a text in pieces of random sizes and comparing
// with the text converted whole.

#include "vesnor/transliterator.h"

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

template<typename Feed>
void inRandomPieces(std::string_view text, std::mt19937 &rng, std::size_t largest, Feed feed)
{
    std::uniform_int_distribution<std::size_t> size(1, largest);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t n = std::min(size(rng), text.size() - at);
        feed(text.substr(at, n));
        at += n;
    }
}

// The text through a StreamConverter in random pieces; empty with ok false when it
// reports invalid input.
inline std::string streamed(vesnor::Direction direction, vesnor::Encoding encoding,
    std::string_view text, std::mt19937 &rng, std::size_t largest, bool *ok = nullptr)
{
    vesnor::StreamConverter converter(direction, encoding);
    std::string out;
    bool valid = true;
    inRandomPieces(text, rng, largest,
        [&](std::string_view piece) { valid = converter.convert(piece, out) && valid; });
    valid = converter.finish(out) && valid;
    if (ok)
        *ok = valid;
    return out;
}
