#pragma once

#include "kit/core/slot.h"
#include "kit/render/message_layout.h"
#include "kit/render/render_options.h"
#include "kit/render/rendered_table.h"

#include <span>
#include <string>
#include <string_view>

namespace nelvo {

// HTML fragments with inline styles only, so they survive pasting into mail clients and
// word processors.
namespace HTMLRenderer {

// "&", "<", ">" and the double quote, in that order ("&lt;" becomes "&amp;lt;"); the single
// quote is kept.
std::string escape(std::string_view text);
// The same, appended to `html`.
void appendEscaped(std::string& html, std::string_view text);

// The single-zone message in one <div>; a heading paragraph and the empty-range paragraph
// when there are no days.
std::string render(const MessageLayout& layout);
std::string render(std::span<const Slot> slots, const RenderOptions& options);

// A <table> with a header row of zone labels, a bold row per day and a row per slot.
std::string render(const RenderedTable& table);

// The table form with two or more zones, else the single-zone form.
std::string renderTable(std::span<const Slot> slots, const RenderOptions& options);

// "<meta charset=\"utf-8\">" followed by `html`.
std::string document(std::string_view html);

}  // namespace HTMLRenderer

}  // namespace nelvo
