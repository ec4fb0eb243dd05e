#include "cli/terminal_text.h"

#include <algorithm>

namespace nelvo::TerminalText {

namespace {

// The length of the UTF-8 sequence that starts at `text[i]`, or 0 when none does.
std::size_t sequenceLength(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

bool isControl(std::string_view text, std::size_t i, std::size_t length)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (length == 1)
        return lead < 0x20 || lead == 0x7F;
    // U+0080...U+009F
    return length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
}

}  // namespace

std::string safe(std::string_view text, std::size_t limit)
{
    std::string out;
    out.reserve(std::min(text.size(), limit) + 3);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        const std::size_t step = length == 0 ? 1 : length;
        if (out.size() + step > limit) {
            out += "…";
            break;
        }
        if (length == 0 || isControl(text, i, length))
            out += '?';
        else
            out.append(text.substr(i, length));
        i += step;
    }
    return out;
}

std::string quoted(std::string_view text)
{
    return "\"" + safe(text) + "\"";
}

}  // namespace nelvo::TerminalText
