#pragma once

#include <string_view>

namespace nelvo {

// Spaces and tabs around user-typed texts (labels, search queries): ASCII space and tab
// and the Unicode space separators (no-break space, ideographic space, ...), never line
// breaks.
namespace HorizontalSpace {

// The text without its leading and trailing horizontal space; the text itself when it
// has none, empty when it is nothing else. Malformed UTF-8 is left as it is.
std::string_view trimmed(std::string_view text);

}  // namespace HorizontalSpace

}  // namespace nelvo
