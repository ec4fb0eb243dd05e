#include "app/ics/ics_text.h"

#include <algorithm>

namespace nelvo::IcsText {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool containsLowered(std::string_view text, std::string_view needle)
{
    if (needle.empty() || needle.size() > text.size())
        return false;
    const auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                [](char a, char b) { return lowerAscii(a) == b; });
    return it != text.end();
}

std::string_view propertyName(std::string_view line)
{
    const auto end = line.find_first_of(";:");
    return end == std::string_view::npos ? line : line.substr(0, end);
}

std::string_view propertyValue(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.substr(i + 1);
    }
    return {};
}

std::string_view propertyParameters(std::string_view line)
{
    const std::size_t nameEnd = propertyName(line).size();
    if (nameEnd >= line.size() || line[nameEnd] != ';')
        return {};
    const std::string_view value = propertyValue(line);
    const std::size_t valueStart = value.empty() ? line.size() : line.size() - value.size() - 1;
    return line.substr(nameEnd + 1, valueStart > nameEnd + 1 ? valueStart - nameEnd - 1 : 0);
}

std::string unescapedText(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string truncatedUtf8(std::string text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

std::string normalizedAddress(std::string_view address)
{
    address = trimmed(address);
    if (startsWithIgnoringCase(address, "mailto:"))
        address.remove_prefix(7);
    return lowered(trimmed(address));
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string quotedForMessage(std::string_view text, std::size_t maxBytes)
{
    const bool isCut = text.size() > maxBytes;
    std::string out = truncatedUtf8(std::string(text.substr(0, maxBytes + 1)), maxBytes);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = '?';
    }
    return inQuotes(isCut ? out + "..." : out);
}

}  // namespace nelvo::IcsText
