#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// The named colours of CSS ("turquoise"), as RFC 7986 lets a calendar's COLOR name one.
namespace CssColor {

// "#RRGGBB" in upper case for a colour name in any case; empty for any other text.
std::optional<std::string> hex(std::string_view name);

}  // namespace CssColor

}  // namespace nelvo
