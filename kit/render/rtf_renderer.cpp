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

// escape(), appended to `rtf`.
void appendEscaped(std::string& rtf, std::string_view text)
{
    const auto isPlain = [](char byte) {
        return byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '{' && byte != '}';
    };
    std::size_t i = 0;
    while (i < text.size()) {
        if (isPlain(text[i])) {
            const std::size_t from = i;
            while (i < text.size() && isPlain(text[i]))
                ++i;
            rtf.append(text.substr(from, i - from));
            continue;
        }
        const char32_t c = nextCodePoint(text, i);
        if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c == '\n') {
            rtf += "\\line ";
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else if (c <= 0xFFFF) {
            appendUnicodeEscape(rtf, c);
        } else {
            const char32_t offset = c - 0x10000;
            appendUnicodeEscape(rtf, 0xD800 + (offset >> 10));
            appendUnicodeEscape(rtf, 0xDC00 + (offset & 0x3FF));
        }
    }
}

void appendBold(std::string& rtf, std::string_view text)
{
    rtf += "{\\b ";
    appendEscaped(rtf, text);
    rtf += '}';
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
            appendBold(rtf, lines[i].text);
        else
            appendEscaped(rtf, lines[i].text);
    }
}

std::string document(const std::vector<Line>& lines)
{
    std::string rtf(prologue);
    appendLines(rtf, lines);
    rtf += '}';
    return rtf;
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

// The row definition (row properties and one cell definition per column) for rows of any
// length: a row of k cells uses the text up to the k-th end.
struct RowDefinition {
    std::string text;
    std::vector<std::size_t> ends;  // ends[k]: the definition of a row of k cells

    RowDefinition(const std::vector<long>& edges, std::string_view border) : text(rowProperties)
    {
        ends.push_back(text.size());
        for (const long edge : edges) {
            text.append(border).append("\\cellx").append(std::to_string(edge));
            ends.push_back(text.size());
        }
    }
};

void appendRow(std::string& rtf, const std::vector<std::string>& cells,
               const RowDefinition& definition, bool isBold)
{
    if (cells.empty())
        return;
    rtf.append(definition.text, 0, definition.ends[cells.size()]);
    rtf += '\n';
    rtf += cellParagraph;
    for (const std::string& cell : cells) {
        if (isBold)
            appendBold(rtf, cell);
        else
            appendEscaped(rtf, cell);
        rtf += "\\cell ";
    }
    rtf += "\\row\n";
}

}  // namespace

std::string escape(std::string_view text)
{
    std::string rtf;
    rtf.reserve(text.size());
    appendEscaped(rtf, text);
    return rtf;
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

    std::size_t rowCount = 1;
    std::size_t cellCount = table.zoneLabels.size();
    for (const DayGroup& day : table.days) {
        rowCount += 1 + day.rows.size();
        for (const auto& row : day.rows)
            cellCount += row.size();
    }
    std::string rtf(prologue);
    rtf.reserve(256 + rowCount * (rowProperties.size() + 64) + cellCount * 96);
    if (table.heading) {
        rtf += "\\sa160";
        appendBold(rtf, *table.heading);
        rtf += "\\par\n";
    }
    const std::vector<long> edges = columnEdges(table);
    const long tableWidth = edges.empty() ? textWidthTwips : edges.back();
    const RowDefinition headerRow(edges, "\\clbrdrb\\brdrs\\brdrw30\\brdrcf1");
    const RowDefinition slotRow(edges, "\\clbrdrb\\brdrs\\brdrw15\\brdrcf2");
    // The day label spans the table, as a row of one cell.
    const RowDefinition dayRow(std::vector<long>{tableWidth}, "");
    appendRow(rtf, table.zoneLabels, headerRow, true);
    for (const DayGroup& day : table.days) {
        rtf.append(dayRow.text).append("\n");
        rtf += "\\pard\\plain\\intbl\\sb120\\f0\\fs21 ";
        appendBold(rtf, day.label);
        rtf += "\\cell \\row\n";
        for (const auto& row : day.rows)
            appendRow(rtf, row, slotRow, false);
    }
    rtf += "\\pard\\plain\\f0\\fs21}";
    return rtf;
}

std::string renderTable(std::span<const Slot> slots, const RenderOptions& options)
{
    if (options.zones.size() < 2)
        return render(MessageLayout::build(slots, options));
    return render(TableBuilder::build(slots, options));
}

}  // namespace nelvo::RTFRenderer
