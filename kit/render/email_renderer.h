#pragma once

#include "kit/render/rendered_table.h"

#include <string>

namespace nelvo {

// A self-contained HTML document for mail clients: a card with the title, the date range and
// a table in which every time is a green chip. Light colours inline; a style block only
// switches them for dark mode.
namespace EmailRenderer {

// The title and dates come from splitting the heading at its first " · ".
std::string render(const RenderedTable& table);

}  // namespace EmailRenderer

}  // namespace nelvo
