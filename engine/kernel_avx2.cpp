#include "kernels.h"

namespace vesnor::detail {

const Kernel kAvx2Kernel{"avx2", [] { return false; }, nullptr, nullptr};

} // namespace vesnor::detail
