#include "kit/render/email_renderer.h"

#include "kit/render/html_renderer.h"
#include "kit/render/table_builder.h"

#include <optional>
#include <vector>

namespace nelvo::EmailRenderer {

namespace {

using HTMLRenderer::appendEscaped;
using HTMLRenderer::escape;

constexpr std::string_view head =
    "<html><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
    "content=\"width=device-width,initial-scale=1\"><meta name=\"color-scheme\" content=\"light "
    "dark\"><meta name=\"supported-color-schemes\" content=\"light dark\"><style>@media "
    "(prefers-color-scheme: dark) "
    "{body,.nv-page{background:#000000!important}.nv-card{background:#1c1c1e!important;border-"
    "color:#38383a!important}.nv-title,.nv-day{color:#f5f5f7!important}.nv-dates,.nv-note{color:#"
    "98989d!important}.nv-head{color:#30d158!important;border-bottom-color:#2a6b3a!important}.nv-"
    "rule{border-top-color:#38383a!important}.nv-chip{background:#173d22!important;color:#8ceb9e!"
    "important}}</style></head>";

constexpr std::string_view fontStack =
    "-apple-system,BlinkMacSystemFont,'SF Pro Text','Helvetica Neue',Helvetica,Arial,sans-serif";

constexpr std::string_view background = "#ffffff";
constexpr std::string_view border = "#e5e5ea";
constexpr std::string_view ink = "#1d1d1f";
constexpr std::string_view secondaryInk = "#6e6e73";
constexpr std::string_view headInk = "#1a803d";
constexpr std::string_view chipBackground = "#e8f5ec";
constexpr std::string_view chipInk = "#145c2c";

struct Title {
    std::string title;
    std::optional<std::string> dates;
};

Title splitHeading(const std::string& heading)
{
    constexpr std::string_view separator = " \u00b7 ";
    const auto at = heading.find(separator);
    if (at == std::string::npos)
        return {heading, std::nullopt};
    return {heading.substr(0, at), heading.substr(at + separator.size())};
}

std::vector<std::string> columnHeads(const std::vector<std::string>& zoneLabels)
{
    std::vector<std::string> heads{"Day"};
    if (zoneLabels.size() == 1)
        heads.push_back("Times (" + zoneLabels.front() + ")");
    else
        heads.insert(heads.end(), zoneLabels.begin(), zoneLabels.end());
    return heads;
}

void appendSlotTable(std::string& html, const RenderedTable& table)
{
    const std::string headCell =
        std::string("<th class=\"nv-head\" align=\"left\" style=\"padding:0 12px 8px "
                    "0;text-align:left;font-size:12px;line-height:16px;font-weight:600;letter-"
                    "spacing:0.04em;text-transform:uppercase;color:")
            .append(headInk)
            .append(";border-bottom:1.5px solid #a3cfb1;white-space:nowrap\">");
    const std::string dayCellStyle =
        std::string("font-size:15px;line-height:24px;font-weight:600;color:")
            .append(ink)
            .append(";white-space:nowrap\">");
    const std::string chip =
        std::string("<span class=\"nv-chip\" style=\"display:inline-block;padding:2px "
                    "10px;border-radius:8px;background:")
            .append(chipBackground)
            .append(";color:")
            .append(chipInk)
            .append(";font-size:15px;line-height:20px;font-variant-numeric:tabular-nums\">");

    std::size_t cellCount = 0;
    for (const DayGroup& day : table.days) {
        for (const auto& row : day.rows)
            cellCount += row.size() + 1;
    }
    html.reserve(html.size() + 1000 + cellCount * (chip.size() + 120));

    html.append("<table cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse:collapse;"
                "width:100%;font-family:")
        .append(fontStack)
        .append("\"><thead><tr>");
    for (const std::string& columnHead : columnHeads(table.zoneLabels)) {
        html += headCell;
        appendEscaped(html, columnHead);
        html += "</th>";
    }
    html += "</tr></thead><tbody>";

    for (std::size_t d = 0; d < table.days.size(); ++d) {
        const DayGroup& day = table.days[d];
        const std::size_t rowCount = day.rows.size();
        for (std::size_t r = 0; r < rowCount; ++r) {
            const int top = r > 0 ? 3 : (d == 0 ? 12 : 10);
            const int bottom = r + 1 == rowCount ? 10 : 3;
            const bool isRuled = r == 0 && d > 0;
            // "padding:12px 12px 10px 0;" and, on the first row of later days, the rule.
            std::string cellStyle =
                "padding:" + std::to_string(top) + "px 12px " + std::to_string(bottom) + "px 0;";
            if (isRuled)
                cellStyle += "border-top:1px solid #e5e5ea;";

            html.append("<tr><td class=\"nv-day")
                .append(isRuled ? " nv-rule" : "")
                .append("\" valign=\"top\" style=\"")
                .append(cellStyle)
                .append(dayCellStyle);
            if (r == 0)
                appendEscaped(html, day.label);
            html += "</td>";
            for (const std::string& cell : day.rows[r]) {
                html.append(isRuled ? "<td class=\"nv-rule\"" : "<td")
                    .append(" valign=\"top\" style=\"")
                    .append(cellStyle)
                    .append("white-space:nowrap\">");
                if (!cell.empty()) {
                    html += chip;
                    appendEscaped(html, cell);
                    html += "</span>";
                }
                html += "</td>";
            }
            html += "</tr>";
        }
    }
    html += "</tbody></table>";
}

}  // namespace

std::string render(const RenderedTable& table)
{
    std::string html(head);
    html.append("<body style=\"margin:0;padding:0;background:")
        .append(background)
        .append(";-webkit-text-size-adjust:100%\">");
    html.append("<table role=\"presentation\" class=\"nv-page\" width=\"100%\" cellpadding=\"0\" "
                "cellspacing=\"0\" style=\"border-collapse:collapse;background:")
        .append(background)
        .append("\">");
    html += "<tr><td style=\"padding:16px\">";
    html.append("<table role=\"presentation\" class=\"nv-card\" cellpadding=\"0\" "
                "cellspacing=\"0\" style=\"border-collapse:separate;border-spacing:0;background:")
        .append(background)
        .append(";border:1px solid ")
        .append(border)
        .append(";border-radius:14px;font-family:")
        .append(fontStack)
        .append(";-webkit-font-smoothing:antialiased\">");

    html += "<tr><td style=\"padding:22px 24px 0\">";
    if (table.heading) {
        const Title title = splitHeading(*table.heading);
        html.append("<div class=\"nv-title\" style=\"font-size:20px;line-height:26px;font-weight:"
                    "600;color:")
            .append(ink)
            .append("\">")
            .append(escape(title.title))
            .append("</div>");
        if (title.dates) {
            html.append("<div class=\"nv-dates\" style=\"font-size:15px;line-height:20px;color:")
                .append(secondaryInk)
                .append(";margin-top:2px\">")
                .append(escape(*title.dates))
                .append("</div>");
        }
    }
    html += "</td></tr>";

    html += "<tr><td style=\"padding:16px 24px 22px\">";
    if (!table.days.empty()) {
        appendSlotTable(html, table);
    } else {
        html.append("<div class=\"nv-note\" style=\"font-size:15px;line-height:20px;color:")
            .append(secondaryInk)
            .append("\">")
            .append(TableBuilder::emptyRangeText)
            .append("</div>");
    }
    html += "</td></tr>";
    html += "</table></td></tr></table></body></html>";
    return html;
}

}  // namespace nelvo::EmailRenderer
