#include "kit/render/html_renderer.h"

#include "kit/render/table_builder.h"

#include <algorithm>
#include <vector>

namespace nelvo::HTMLRenderer {

namespace {

constexpr std::string_view headingParagraph = "<p style=\"font-weight:600;margin:0 0 8px\">";
constexpr std::string_view emptyParagraph = "<p>No availability in this range.</p>";

}  // namespace

void appendEscaped(std::string& html, std::string_view text)
{
    // One pass gives the same result as the four replacements in order, since none of
    // them produces a character a later one replaces.
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        default:
            continue;
        }
        html.append(text.substr(plainFrom, i - plainFrom)).append(entity);
        plainFrom = i + 1;
    }
    html.append(text.substr(plainFrom));
}

std::string escape(std::string_view text)
{
    std::string html;
    html.reserve(text.size());
    appendEscaped(html, text);
    return html;
}

std::string render(const MessageLayout& layout)
{
    if (layout.days.empty()) {
        std::string html;
        if (layout.heading)
            html.append(headingParagraph).append(escape(*layout.heading)).append("</p>");
        return html.append(emptyParagraph);
    }

    std::vector<std::string> blocks;
    std::string head;
    if (layout.heading)
        head = "<b>" + escape(*layout.heading) + "</b>";
    if (layout.zoneLine)
        head += (head.empty() ? "" : "<br>") + escape(*layout.zoneLine);
    if (layout.heading || layout.zoneLine)
        blocks.push_back(std::move(head));
    for (const MessageLayout::Day& day : layout.days) {
        std::string block = "<b>" + escape(day.label) + "</b>";
        for (const std::string& slot : day.slots)
            block += "<br>" + escape(slot);
        blocks.push_back(std::move(block));
    }

    std::string html =
        "<div style=\"font-family:-apple-system,Helvetica,Arial,sans-serif;font-size:14px\">";
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0)
            html += "<br><br>";
        html += blocks[i];
    }
    html += "</div>";
    return html;
}

std::string render(std::span<const Slot> slots, const RenderOptions& options)
{
    return render(MessageLayout::build(slots, options));
}

std::string render(const RenderedTable& table)
{
    constexpr std::string_view headCell =
        "<th style=\"padding:6px 12px;text-align:left;border-bottom:2px solid #d0d0d0\">";
    constexpr std::string_view dayCellEnd = "\" style=\"padding:10px 12px 4px;font-weight:600\">";
    constexpr std::string_view slotCell =
        "<td style=\"padding:6px 12px;border-bottom:1px solid #e5e5e5;white-space:nowrap\">";

    std::string html;
    if (table.heading) {
        html.append(headingParagraph);
        appendEscaped(html, *table.heading);
        html.append("</p>");
    }
    if (table.days.empty())
        return html.append(emptyParagraph);

    std::size_t cellCount = 0;
    for (const DayGroup& day : table.days)
        cellCount += day.rows.size() * table.zoneLabels.size();
    html.reserve(html.size() + 400 + 100 * table.days.size() + (slotCell.size() + 40) * cellCount);

    html += "<table style=\"border-collapse:collapse;font-family:-apple-system,Helvetica,Arial,"
            "sans-serif;font-size:14px\"><thead><tr>";
    for (const std::string& label : table.zoneLabels) {
        html += headCell;
        appendEscaped(html, label);
        html += "</th>";
    }
    html += "</tr></thead><tbody>";
    // A day's label spans every zone column, and is a cell of its own when there is none.
    const std::string columns = std::to_string(std::max<std::size_t>(1, table.zoneLabels.size()));
    for (const DayGroup& day : table.days) {
        html.append("<tr><td colspan=\"").append(columns).append(dayCellEnd);
        appendEscaped(html, day.label);
        html += "</td></tr>";
        for (const auto& row : day.rows) {
            html += "<tr>";
            for (const std::string& cell : row) {
                html += slotCell;
                appendEscaped(html, cell);
                html += "</td>";
            }
            html += "</tr>";
        }
    }
    html += "</tbody></table>";
    return html;
}

std::string renderTable(std::span<const Slot> slots, const RenderOptions& options)
{
    if (options.zones.size() < 2)
        return render(MessageLayout::build(slots, options));
    return render(TableBuilder::build(slots, options));
}

std::string document(std::string_view html)
{
    return "<meta charset=\"utf-8\">" + std::string(html);
}

}  // namespace nelvo::HTMLRenderer
