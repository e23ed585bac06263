#pragma once

#include <string_view>

namespace vesnor {

// Under the version in the window's and vesnor-convert's --version.
inline constexpr std::string_view kLicence
    = "Copyright (c) 2026 The Vesnor developers. MIT licence: free to use,\n"
      "change and pass on, with no warranty.\n";

} // namespace vesnor
