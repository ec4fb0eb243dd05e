#include "kit/render/markdown_renderer.h"

#include "kit/render/table_builder.h"

#include <vector>

namespace nelvo::MarkdownRenderer {

namespace {

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            text += separator;
        text += parts[i];
    }
    return text;
}

std::string bold(std::string_view text)
{
    return "**" + std::string(text) + "**";
}

std::string tableRow(const std::vector<std::string>& cells)
{
    std::string row = "|";
    for (const std::string& cell : cells) {
        row += ' ';
        for (const char c : cell) {
            if (c == '|')
                row += '\\';
            row += c;
        }
        row += " |";
    }
    return row;
}

}  // namespace

std::string render(const MessageLayout& layout)
{
    std::vector<std::string> head;
    if (layout.heading)
        head.push_back(bold(*layout.heading));
    if (layout.days.empty()) {
        head.emplace_back(TableBuilder::emptyRangeText);
        return joined(head, "\n\n");
    }
    if (layout.zoneLine)
        head.push_back(*layout.zoneLine);

    std::vector<std::string> blocks;
    if (!head.empty())
        blocks.push_back(joined(head, "\n"));
    for (const MessageLayout::Day& day : layout.days) {
        std::string block = bold(day.label);
        for (const std::string& slot : day.slots)
            block += "\n" + slot;
        blocks.push_back(std::move(block));
    }
    return joined(blocks, "\n\n");
}

std::string render(std::span<const Slot> slots, const RenderOptions& options)
{
    return render(MessageLayout::build(slots, options));
}

std::string render(const RenderedTable& table)
{
    std::vector<std::string> lines;
    if (table.heading) {
        lines.push_back(bold(*table.heading));
        lines.emplace_back();
    }
    if (table.days.empty()) {
        lines.emplace_back(TableBuilder::emptyRangeText);
        return joined(lines, "\n");
    }

    std::vector<std::string> header{"Day"};
    header.insert(header.end(), table.zoneLabels.begin(), table.zoneLabels.end());
    lines.push_back(tableRow(header));
    lines.push_back(tableRow(std::vector<std::string>(header.size(), "---")));
    for (const DayGroup& day : table.days) {
        for (const auto& row : day.rows) {
            std::vector<std::string> cells{day.label};
            cells.insert(cells.end(), row.begin(), row.end());
            lines.push_back(tableRow(cells));
        }
    }
    return joined(lines, "\n");
}

}  // namespace nelvo::MarkdownRenderer
