#pragma once

#include "kit/core/slot.h"
#include "kit/render/message_layout.h"
#include "kit/render/render_options.h"
#include "kit/render/rendered_table.h"

#include <span>
#include <string>

namespace nelvo {

namespace MarkdownRenderer {

// The single-zone message: bold heading, the zone line, then per day a bold label and one
// slot per line (no list markers). The heading is written as given.
std::string render(const MessageLayout& layout);
std::string render(std::span<const Slot> slots, const RenderOptions& options);

// A pipe table under the bold heading: "Day" and one column per zone, the day label repeated
// on each of its rows; "|" inside a cell becomes "\|".
std::string render(const RenderedTable& table);

}  // namespace MarkdownRenderer

}  // namespace nelvo
