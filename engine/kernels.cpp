#include "kernels.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vesnor::detail {

namespace {

// Best first.
constexpr std::array<const Kernel *, 3> kAll = {&kAvx512Kernel, &kAvx2Kernel, &kPortableKernel};

const Kernel *best()
{
    for (const Kernel *each : kAll)
        if (each->supported())
            return each;
    return &kPortableKernel;
}

const Kernel *named(std::string_view name)
{
    for (const Kernel *each : kAll)
        if (each->name == name && each->supported())
            return each;
    return nullptr;
}

// The kernel a test put in use instead.
std::atomic<const Kernel *> chosen{nullptr};

// One kernel for the whole run. A name this processor cannot run, or a misspelt one,
// gives the best kernel and says so once: a forced kernel is for tests and bug reports,
// no reason to fail a conversion, but a report must not name a kernel that did not run.
const Kernel *fromEnvironment()
{
    const char *forced = std::getenv("VESNOR_KERNEL");
    const Kernel *wanted = forced ? named(forced) : best();
    if (!wanted) {
        wanted = best();
        const bool known = std::any_of(
            kAll.begin(), kAll.end(), [&](auto *each) { return each->name == forced; });
        std::fprintf(stderr, "vesnor: VESNOR_KERNEL=%s: %s; the %s kernel runs instead\n", forced,
            known ? "this processor lacks that kernel" : "no such kernel (portable, avx2, avx512)",
            std::string(wanted->name).c_str());
    }
    return wanted;
}

} // namespace

const Kernel &kernel()
{
    static const Kernel *const fromStart = fromEnvironment();
    const Kernel *forTests = chosen.load(std::memory_order_acquire);
    return forTests ? *forTests : *fromStart;
}

std::vector<const Kernel *> kernelsHere()
{
    std::vector<const Kernel *> here;
    for (auto each = kAll.rbegin(); each != kAll.rend(); ++each)
        if ((*each)->supported())
            here.push_back(*each);
    return here;
}

bool useKernel(std::string_view name)
{
    const Kernel *wanted = named(name);
    if (wanted)
        chosen.store(wanted, std::memory_order_release);
    return wanted != nullptr;
}

} // namespace vesnor::detail

namespace vesnor {

std::string_view kernelName()
{
    return detail::kernel().name;
}

} // namespace vesnor
