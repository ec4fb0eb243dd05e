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

// "| a | b |", with "|" inside a cell written "\|" and a line break (which would end the
// row) written as a space; `first` comes before `cells`.
void appendTableRow(std::string& markdown, std::string_view first,
                    const std::vector<std::string>& cells)
{
    const auto appendCell = [&](std::string_view cell) {
        markdown += ' ';
        for (std::size_t i = 0; i < cell.size(); ++i) {
            const char c = cell[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n')
                    ++i;
                markdown += ' ';
                continue;
            }
            if (c == '|')
                markdown += '\\';
            markdown += c;
        }
        markdown += " |";
    };
    markdown += '|';
    appendCell(first);
    for (const std::string& cell : cells)
        appendCell(cell);
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
    std::string markdown;
    if (table.heading)
        markdown += bold(*table.heading) + "\n\n";
    if (table.days.empty()) {
        markdown += TableBuilder::emptyRangeText;
        return markdown;
    }

    std::size_t rowCount = 0;
    for (const DayGroup& day : table.days)
        rowCount += day.rows.size();
    markdown.reserve(markdown.size() + (rowCount + 2) * (16 + 28 * (table.zoneLabels.size() + 1)));
    appendTableRow(markdown, "Day", table.zoneLabels);
    markdown += '\n';
    appendTableRow(markdown, "---", std::vector<std::string>(table.zoneLabels.size(), "---"));
    for (const DayGroup& day : table.days) {
        for (const auto& row : day.rows) {
            markdown += '\n';
            appendTableRow(markdown, day.label, row);
        }
    }
    return markdown;
}

}  // namespace nelvo::MarkdownRenderer
