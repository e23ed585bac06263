// Throughput of both conversions on a realistic text, beside the plain
// substring-search-per-token walk, in the same run. Also writes the corpora the
// command-line benchmark uses (--write-corpus DIR MEGABYTES).

#include "bench/corpus.h"
#include "kernels.h"
#include "tests/engine/reference.h"
#include "vesnor/codec.h"
#include "vesnor/transliterator.h"
#include "vesnor/utf8.h"
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

using bench::latinCorpus;
using bench::medianSeconds;

int writeCorpus(const std::string &dir, std::size_t megabytes)
{
    const std::string latin = latinCorpus(megabytes << 20);
    const std::string armenian = vesnor::convert(vesnor::Direction::EngArm, latin);
    std::string armenianUtf8;
    for (const char32_t c : vesnor::codec::decode(armenian, {}))
        vesnor::utf8::append(c, armenianUtf8);
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
                    vesnor::detail::walk(c.direction, vesnor::Encoding::Utf8, *c.text,
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
