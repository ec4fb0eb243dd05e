#pragma once

#include "kit/core/slot.h"
#include "kit/render/message_layout.h"
#include "kit/render/render_options.h"
#include "kit/render/rendered_table.h"

#include <span>
#include <string>
#include <string_view>

namespace nelvo {

// Rich text for word processors, from the same layouts the HTML renderers read, with the same
// content and emphasis. Pure ASCII output: every other character is a \uN? escape.
namespace RTFRenderer {

// UTF-8 text as RTF text: "\", "{" and "}" escaped, a line feed as \line, a tab as \tab, other
// control characters dropped, non-ASCII characters as \uN? (N a signed 16-bit number, astral
// characters as a surrogate pair). A malformed UTF-8 sequence becomes U+FFFD.
std::string escape(std::string_view text);

// Bold heading, the zone line under it, then per day a bold label and one slot per line;
// a blank line between blocks.
std::string render(const MessageLayout& layout);
std::string render(std::span<const Slot> slots, const RenderOptions& options);

// Bold heading, then a table: a bold header row of zone labels, a bold row per day spanning
// the table, a row per slot.
std::string render(const RenderedTable& table);

// The table form with two or more zones, else the single-zone form.
std::string renderTable(std::span<const Slot> slots, const RenderOptions& options);

}  // namespace RTFRenderer

}  // namespace nelvo
