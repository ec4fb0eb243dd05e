#include "kit/core/horizontal_space.h"

#include <cstdint>

namespace nelvo::HorizontalSpace {

namespace {

bool isSpaceSeparator(std::uint32_t c)
{
    return c == 0x20 || c == 0x09 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

// The code point starting at `i` and its length in bytes; length 0 for malformed UTF-8.
std::pair<std::uint32_t, std::size_t> decodeAt(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > text.size())
        return {0, 0};
    std::uint32_t c = lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    return {c, length};
}

// The start of the code point that ends just before `end`; `end` when malformed.
std::size_t previousStart(std::string_view text, std::size_t end)
{
    std::size_t start = end;
    for (int k = 0; k < 4 && start > 0; ++k) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80)
            return start;
    }
    return end;
}

}  // namespace

std::string_view trimmed(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto [c, length] = decodeAt(text, begin);
        if (length == 0 || !isSpaceSeparator(c))
            break;
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        const std::size_t start = previousStart(text, end);
        if (start == end)
            break;
        const auto [c, length] = decodeAt(text, start);
        if (length != end - start || !isSpaceSeparator(c))
            break;
        end = start;
    }
    return text.substr(begin, end - begin);
}

}  // namespace nelvo::HorizontalSpace
