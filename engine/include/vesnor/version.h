#pragma once

// The lines the window's and vesnor-convert's --version print under the version.

#include <string_view>

namespace vesnor {

inline constexpr std::string_view kLicence
    = "Copyright (c) 2026 The Vesnor developers. MIT licence: free to use,\n"
      "change and pass on, with no warranty.\n";

} // namespace vesnor
