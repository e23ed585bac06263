#pragma once

// The benchmarks' text and clock, shared by the native and the WebAssembly builds.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace bench {

// Everyday words in the usual transliteration, with the digraphs, word-start
// rules and punctuation a real letter has.
inline const std::vector<std::string> kWords = {
    "Barev",
    "Dzez",
    "Yerevan",
    "Hayastan",
    "vor",
    "yev",
    "inchpes",
    "yes",
    "du",
    "na",
    "menq",
    "duq",
    "nranq",
    "shnorhakalutyun",
    "khndrem",
    "aystegh",
    "ayntegh",
    "havanabar",
    "gitem",
    "chgitem",
    "sirum",
    "em",
    "es",
    "e",
    "enq",
    "eq",
    "ein",
    "tun",
    "dproc",
    "hats",
    "jur",
    "gini",
    "khosq",
    "girq",
    "nkar",
    "Tsaghkadzor",
    "Gyumri",
    "Vanadzor",
    "ashkharh",
    "mard",
    "kin",
    "yerekha",
    "ynker",
    "ynkerner",
    "ogni",
    "ardyoq",
    "hima",
    "vaghy",
    "aysor",
    "yerek",
    "lav",
    "vat",
    "mets",
    "poqr",
    "gegheckik",
    "jhamanak",
    "Thumanyan",
    "Charents",
    "Sevak",
    "Rrusastan",
    "rrazm",
    "ov",
    "onc",
    "urakh",
    "Urbat",
    "tsov",
    "dzmer",
    "gharib",
    "vochinch",
    "voch",
};
inline const std::vector<std::string> kAfter
    = {" ", " ", " ", " ", " ", ", ", ". ", "! ", "? ", "\r\n"};

inline std::string latinCorpus(std::size_t bytes)
{
    // The standard generator is the same everywhere, its distributions are not: the
    // native and the WebAssembly builds must get the same text.
    std::mt19937 rng(2026);
    const auto word = [](std::mt19937 &from) { return from() % kWords.size(); };
    const auto after = [](std::mt19937 &from) { return from() % kAfter.size(); };
    std::string text;
    text.reserve(bytes + 32);
    while (text.size() < bytes) {
        text += kWords[word(rng)];
        text += kAfter[after(rng)];
    }
    text.resize(bytes);
    return text;
}

inline double medianSeconds(int runs, const std::function<void()> &work)
{
    std::vector<double> seconds;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        work();
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace bench
