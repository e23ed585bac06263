// Throughput of both conversions on a realistic text, beside the plain
// substring-search-per-token walk, in the same run. Also writes the corpora the
// command-line benchmark uses (--write-corpus DIR MEGABYTES).

#include "engine/codec.h"
#include "engine/transliterator.h"
#include "kernels.h"
#include "tests/engine/reference.h"
#include "utf8.h"
#include "walk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// Everyday words in the usual transliteration, with the digraphs, word-start
// rules and punctuation a real letter has.
const std::vector<std::string> kWords = {
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
const std::vector<std::string> kAfter = {" ", " ", " ", " ", " ", ", ", ". ", "! ", "? ", "\r\n"};

std::string latinCorpus(std::size_t bytes)
{
    std::mt19937 rng(2026);
    std::uniform_int_distribution<std::size_t> word(0, kWords.size() - 1);
    std::uniform_int_distribution<std::size_t> after(0, kAfter.size() - 1);
    std::string text;
    text.reserve(bytes + 32);
    while (text.size() < bytes) {
        text += kWords[word(rng)];
        text += kAfter[after(rng)];
    }
    text.resize(bytes);
    return text;
}

double medianSeconds(int runs, const std::function<void()> &work)
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

int writeCorpus(const std::string &dir, std::size_t megabytes)
{
    const std::string latin = latinCorpus(megabytes << 20);
    const std::string armenian = vesnor::convert(vesnor::Direction::EngArm, latin);
    std::string armenianUtf8;
    for (const char32_t c : vesnor::codec::decode(armenian, {}))
        vesnor::codec::appendUtf8(c, armenianUtf8);
    armenianUtf8.resize(megabytes << 20);
    while (!armenianUtf8.empty() && (armenianUtf8.back() & 0xC0) == 0x80)
        armenianUtf8.pop_back();
    if (!armenianUtf8.empty() && static_cast<unsigned char>(armenianUtf8.back()) >= 0xC0)
        armenianUtf8.pop_back();
    std::ofstream(dir + "/latin.txt", std::ios::binary) << latin;
    std::ofstream(dir + "/armenian.txt", std::ios::binary) << armenianUtf8;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::string(argv[1]) == "--write-corpus")
        return writeCorpus(argv[2], std::strtoul(argv[3], nullptr, 10));

    constexpr std::size_t kSize = 10u << 20;
    const std::string latin = latinCorpus(kSize);
    const std::string armenian = vesnor::convert(vesnor::Direction::EngArm, latin).substr(0, kSize);
    const auto tables = vesnor::reference::standardTables();
    const double mb = double(kSize) / (1 << 20);

    std::printf("Conversion of a 10 MiB text of everyday words, 8-bit, median of the runs\n");
    std::printf(
        "%-22s %14s %14s %8s   %s\n", "direction", "engine MB/s", "plain MB/s", "ratio", "goal");
    struct Case {
        const char *name;
        vesnor::Direction direction;
        const std::string *text;
    };
    for (const Case &c : {Case{"Latin to Armenian", vesnor::Direction::EngArm, &latin},
             Case{"Armenian to Latin", vesnor::Direction::ArmEng, &armenian}}) {
        std::size_t sink = 0;
        const double fast
            = medianSeconds(11, [&] { sink += vesnor::convert(c.direction, *c.text).size(); });
        const double slow = medianSeconds(3, [&] {
            sink += (c.direction == vesnor::Direction::EngArm
                    ? vesnor::reference::ConvertEngArm(tables, *c.text)
                    : vesnor::reference::ConvertArmEng(tables, *c.text))
                        .size();
        });
        std::printf("%-22s %14.0f %14.1f %7.1fx   >= 1000 MB/s%s\n", c.name, mb / fast, mb / slow,
            slow / fast, sink == 0 ? " (empty?)" : "");
    }

    // What vesnor-convert runs: the walk that writes UTF-8, on each kernel this
    // processor has, beside the table walk that any processor runs.
    using vesnor::detail::Method;
    std::printf("\nThe same, written as UTF-8 (vesnor-convert's walk), median of the runs\n");
    std::printf("%-10s %-22s %14s %14s %8s\n", "kernel", "direction", "fastest MB/s", "table MB/s",
        "ratio");
    for (const vesnor::detail::Kernel *kernel : vesnor::detail::kernelsHere()) {
        vesnor::detail::useKernel(kernel->name);
        for (const Case &c : {Case{"Latin to Armenian", vesnor::Direction::EngArm, &latin},
                 Case{"Armenian to Latin", vesnor::Direction::ArmEng, &armenian}}) {
            std::string out;
            auto timed = [&](Method method) {
                return medianSeconds(11, [&] {
                    out.clear();
                    vesnor::detail::walk(c.direction, vesnor::detail::Output::Utf8, *c.text,
                        vesnor::detail::kTextStart, true, out, method);
                });
            };
            const double fastest = timed(Method::Fastest);
            const double table = timed(Method::Table);
            std::printf("%-10s %-22s %14.0f %14.0f %7.1fx\n", std::string(kernel->name).c_str(),
                c.name, mb / fastest, mb / table, table / fastest);
        }
    }
    return 0;
}
