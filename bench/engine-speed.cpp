// The engine as the web page calls it, UTF-8 in and out, a whole text at a time, on
// 10 MiB of everyday words and the portable kernel. Built natively and for
// WebAssembly, so that the two figures are the same work. Prints one line per
// direction: its name and the median in milliseconds.

#include "bench/corpus.h"
#include "kernels.h"
#include "vesnor/transliterator.h"

#include <cstdio>
#include <string>

int main()
{
    vesnor::detail::useKernel("portable");
    const std::string latin = bench::latinCorpus(10u << 20);
    std::string armenian;
    vesnor::StreamConverter first(vesnor::Direction::EngArm);
    first.convert(latin, armenian);
    first.finish(armenian);

    struct Case {
        const char *name;
        vesnor::Direction direction;
        const std::string *text;
    };
    for (const Case &c : {Case{"eng-arm", vesnor::Direction::EngArm, &latin},
             Case{"arm-eng", vesnor::Direction::ArmEng, &armenian}}) {
        std::string out;
        const double seconds = bench::medianSeconds(11, [&] {
            out.clear();
            vesnor::StreamConverter converter(c.direction);
            converter.convert(*c.text, out);
            converter.finish(out);
        });
        std::printf("%s %.2f\n", c.name, seconds * 1000);
    }
    return 0;
}
