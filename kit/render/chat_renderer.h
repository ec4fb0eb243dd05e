#pragma once

#include "kit/core/slot.h"
#include "kit/render/message_layout.h"
#include "kit/render/render_options.h"

#include <span>
#include <string>

namespace nelvo {

// The single-zone message as plain text: blocks (heading and zone line, then one per day)
// separated by a blank line, no trailing newline.
namespace ChatRenderer {

std::string render(const MessageLayout& layout);
std::string render(std::span<const Slot> slots, const RenderOptions& options);

}  // namespace ChatRenderer

}  // namespace nelvo
