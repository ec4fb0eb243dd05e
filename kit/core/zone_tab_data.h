#pragma once

#include <string_view>

namespace nelvo {

// The bundled IANA zone.tab file, as text: "CC<TAB>coordinates<TAB>Zone/Id[<TAB>comment]"
// lines, with "#" comment lines.
std::string_view zoneTabText();

}  // namespace nelvo
