#include "kit/render/rtf_renderer.h"

#include "kit/render/table_builder.h"

#include <algorithm>
#include <vector>

namespace nelvo::RTFRenderer {

namespace {

// Helvetica as in the HTML, 10.5 pt (the HTML's 14 px); colour 1 is the header rule
// (#d0d0d0), colour 2 the rule under each slot row (#e5e5e5).
constexpr std::string_view prologue =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Helvetica;}}"
    "{\\colortbl;\\red208\\green208\\blue208;\\red229\\green229\\blue229;}\n"
    "\\pard\\plain\\f0\\fs21\n";

// Cell padding as in the HTML table (6 px 12 px), in twips.
constexpr std::string_view rowProperties =
    "\\trowd\\trgaph180\\trleft0\\trpaddl180\\trpaddr180\\trpaddt90\\trpaddb90"
    "\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3";
constexpr std::string_view cellParagraph = "\\pard\\plain\\intbl\\f0\\fs21 ";

// A word processor cannot size columns to their text; these approximate a 10.5 pt sans
// serif and keep the table within a 6.5-inch text width (it wraps inside cells beyond that).
constexpr long twipsPerCharacter = 110;
constexpr long cellPaddingTwips = 360;
constexpr long minimumColumnTwips = 720;
constexpr long textWidthTwips = 9360;

constexpr char32_t replacementCharacter = 0xFFFD;

// Decodes one code point at `i` and moves past it; a malformed sequence yields U+FFFD and
// moves past its first byte only.
char32_t nextCodePoint(std::string_view text, std::size_t& i)
{
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        ++i;
        return replacementCharacter;
    }
    if (i + length > text.size()) {
        ++i;
        return replacementCharacter;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byteAt(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return replacementCharacter;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++i;
        return replacementCharacter;
    }
    i += length;
    return codePoint;
}

// \uN takes a signed 16-bit number; "?" is what readers without Unicode show instead.
void appendUnicodeEscape(std::string& out, char32_t unit)
{
    const long value = unit > 0x7FFF ? static_cast<long>(unit) - 0x10000 : static_cast<long>(unit);
    out += "\\u";
    out += std::to_string(value);
    out += '?';
}

std::size_t codePointCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

struct Line {
    std::string text;
    bool isBold = false;
};

// One paragraph per line; an empty line is an empty paragraph. No paragraph mark after the
// last line, so that pasting adds no empty line.
void appendLines(std::string& rtf, const std::vector<Line>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            rtf += "\\par\n";
        if (lines[i].isBold)
            rtf += "{\\b " + escape(lines[i].text) + "}";
        else
            rtf += escape(lines[i].text);
    }
}

std::string document(const std::vector<Line>& lines)
{
    std::string rtf(prologue);
    appendLines(rtf, lines);
    return rtf + "}";
}

// Right edges of the columns, from the widest text in each.
std::vector<long> columnEdges(const RenderedTable& table)
{
    std::vector<std::size_t> characters(table.zoneLabels.size(), 0);
    const auto measure = [&](std::size_t column, const std::string& text) {
        if (column >= characters.size())
            characters.resize(column + 1, 0);
        characters[column] = std::max(characters[column], codePointCount(text));
    };
    for (std::size_t c = 0; c < table.zoneLabels.size(); ++c)
        measure(c, table.zoneLabels[c]);
    for (const DayGroup& day : table.days) {
        for (const auto& row : day.rows) {
            for (std::size_t c = 0; c < row.size(); ++c)
                measure(c, row[c]);
        }
    }

    std::vector<long> widths;
    long total = 0;
    for (const std::size_t count : characters) {
        widths.push_back(static_cast<long>(std::min<std::size_t>(count, 1000)) * twipsPerCharacter +
                         cellPaddingTwips);
        total += widths.back();
    }
    std::vector<long> edges;
    long edge = 0;
    for (const long width : widths) {
        long scaled = total > textWidthTwips ? width * textWidthTwips / total : width;
        edge += std::max(scaled, minimumColumnTwips);
        edges.push_back(edge);
    }
    return edges;
}

void appendRow(std::string& rtf, const std::vector<std::string>& cells,
               const std::vector<long>& edges, std::string_view border, bool isBold)
{
    if (cells.empty())
        return;
    rtf += rowProperties;
    for (std::size_t c = 0; c < cells.size(); ++c)
        rtf.append(border).append("\\cellx").append(std::to_string(edges[c]));
    rtf += '\n';
    rtf += cellParagraph;
    for (const std::string& cell : cells) {
        if (isBold)
            rtf += "{\\b " + escape(cell) + "}";
        else
            rtf += escape(cell);
        rtf += "\\cell ";
    }
    rtf += "\\row\n";
}

}  // namespace

std::string escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = nextCodePoint(text, i);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c <= 0xFFFF) {
            appendUnicodeEscape(out, c);
        } else {
            const char32_t offset = c - 0x10000;
            appendUnicodeEscape(out, 0xD800 + (offset >> 10));
            appendUnicodeEscape(out, 0xDC00 + (offset & 0x3FF));
        }
    }
    return out;
}

std::string render(const MessageLayout& layout)
{
    std::vector<Line> lines;
    if (layout.heading)
        lines.push_back({*layout.heading, true});
    if (layout.days.empty()) {
        if (!lines.empty())
            lines.push_back({});
        lines.push_back({std::string(TableBuilder::emptyRangeText), false});
        return document(lines);
    }
    if (layout.zoneLine)
        lines.push_back({*layout.zoneLine, false});
    for (const MessageLayout::Day& day : layout.days) {
        if (!lines.empty())
            lines.push_back({});
        lines.push_back({day.label, true});
        for (const std::string& slot : day.slots)
            lines.push_back({slot, false});
    }
    return document(lines);
}

std::string render(std::span<const Slot> slots, const RenderOptions& options)
{
    return render(MessageLayout::build(slots, options));
}

std::string render(const RenderedTable& table)
{
    if (table.days.empty()) {
        std::vector<Line> lines;
        if (table.heading) {
            lines.push_back({*table.heading, true});
            lines.push_back({});
        }
        lines.push_back({std::string(TableBuilder::emptyRangeText), false});
        return document(lines);
    }

    std::string rtf(prologue);
    if (table.heading)
        rtf += "\\sa160{\\b " + escape(*table.heading) + "}\\par\n";
    const std::vector<long> edges = columnEdges(table);
    const long tableWidth = edges.empty() ? textWidthTwips : edges.back();
    appendRow(rtf, table.zoneLabels, edges, "\\clbrdrb\\brdrs\\brdrw30\\brdrcf1", true);
    for (const DayGroup& day : table.days) {
        // The day label spans the table, as a row of one cell.
        rtf.append(rowProperties).append("\\cellx").append(std::to_string(tableWidth)).append("\n");
        rtf.append("\\pard\\plain\\intbl\\sb120\\f0\\fs21 {\\b ")
            .append(escape(day.label))
            .append("}\\cell \\row\n");
        for (const auto& row : day.rows)
            appendRow(rtf, row, edges, "\\clbrdrb\\brdrs\\brdrw15\\brdrcf2", false);
    }
    return rtf + "\\pard\\plain\\f0\\fs21}";
}

std::string renderTable(std::span<const Slot> slots, const RenderOptions& options)
{
    if (options.zones.size() < 2)
        return render(MessageLayout::build(slots, options));
    return render(TableBuilder::build(slots, options));
}

}  // namespace nelvo::RTFRenderer
