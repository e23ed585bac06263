#pragma once

// The kernels the tests run on, without Qt, so that the check that also runs under
// wine shares it: each kernel this processor has, the portable one first; where
// VESNOR_KERNEL names a kernel, as a forced run for a bug report does, only that one.

#include "kernels.h"

#include <cstdlib>
#include <string_view>
#include <vector>

inline std::vector<const vesnor::detail::Kernel *> testedKernels()
{
    const char *forced = std::getenv("VESNOR_KERNEL");
    std::vector<const vesnor::detail::Kernel *> tested;
    for (const vesnor::detail::Kernel *each : vesnor::detail::kernelsHere())
        if (!forced || each->name == std::string_view(forced))
            tested.push_back(each);
    return tested;
}
