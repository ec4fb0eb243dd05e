#include "kit/render/chat_renderer.h"

#include "kit/render/table_builder.h"

namespace nelvo::ChatRenderer {

std::string render(const MessageLayout& layout)
{
    std::vector<std::string> blocks;
    if (layout.heading)
        blocks.push_back(*layout.heading);
    if (layout.days.empty()) {
        blocks.emplace_back(TableBuilder::emptyRangeText);
    } else {
        if (layout.zoneLine) {
            if (layout.heading)
                blocks.back() += "\n" + *layout.zoneLine;
            else
                blocks.push_back(*layout.zoneLine);
        }
        for (const MessageLayout::Day& day : layout.days) {
            std::string block = day.label;
            for (const std::string& slot : day.slots)
                block += "\n" + slot;
            blocks.push_back(std::move(block));
        }
    }

    std::string text;
    for (const std::string& block : blocks) {
        if (&block != &blocks.front())
            text += "\n\n";
        text += block;
    }
    return text;
}

std::string render(std::span<const Slot> slots, const RenderOptions& options)
{
    return render(MessageLayout::build(slots, options));
}

}  // namespace nelvo::ChatRenderer
