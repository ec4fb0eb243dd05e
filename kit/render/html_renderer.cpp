#include "kit/render/html_renderer.h"

#include "kit/render/table_builder.h"

#include <vector>

namespace nelvo::HTMLRenderer {

namespace {

constexpr std::string_view headingParagraph = "<p style=\"font-weight:600;margin:0 0 8px\">";
constexpr std::string_view emptyParagraph = "<p>No availability in this range.</p>";

}  // namespace

std::string escape(std::string_view text)
{
    // One pass gives the same result as the four replacements in order, since none of
    // them produces a character a later one replaces.
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
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
    return html + "</div>";
}

std::string render(std::span<const Slot> slots, const RenderOptions& options)
{
    return render(MessageLayout::build(slots, options));
}

std::string render(const RenderedTable& table)
{
    std::string html;
    if (table.heading)
        html.append(headingParagraph).append(escape(*table.heading)).append("</p>");
    if (table.days.empty())
        return html.append(emptyParagraph);

    html += "<table style=\"border-collapse:collapse;font-family:-apple-system,Helvetica,Arial,"
            "sans-serif;font-size:14px\"><thead><tr>";
    for (const std::string& label : table.zoneLabels) {
        html += "<th style=\"padding:6px 12px;text-align:left;border-bottom:2px solid #d0d0d0\">";
        html += escape(label);
        html += "</th>";
    }
    html += "</tr></thead><tbody>";
    const std::string columns = std::to_string(table.zoneLabels.size());
    for (const DayGroup& day : table.days) {
        html += "<tr><td colspan=\"" + columns +
                "\" style=\"padding:10px 12px 4px;font-weight:600\">" + escape(day.label) +
                "</td></tr>";
        for (const auto& row : day.rows) {
            html += "<tr>";
            for (const std::string& cell : row) {
                html += "<td style=\"padding:6px 12px;border-bottom:1px solid "
                        "#e5e5e5;white-space:nowrap\">";
                html += escape(cell);
                html += "</td>";
            }
            html += "</tr>";
        }
    }
    return html + "</tbody></table>";
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
