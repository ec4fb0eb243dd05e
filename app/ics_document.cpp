#include "app/ics_document.h"

#include "app/ics/ics_expander.h"
#include "app/ics/ics_internal.h"
#include "app/ics/ics_parser.h"
#include "app/ics/ics_text.h"
#include "kit/core/css_color.h"

#include <algorithm>

namespace nelvo {

IcsDocument::IcsDocument(std::unique_ptr<Data> data) : m_data(std::move(data)) {}

IcsDocument::~IcsDocument() = default;

std::shared_ptr<const IcsDocument> IcsDocument::parse(std::string_view text, const Options& options)
{
    prepareLibical();
    std::optional<std::string> nameAddress;
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto data = std::make_unique<Data>();
        data->origin = options.origin;
        data->zones.push_back(IcsZone::ofUtc());
        data->zones.push_back(IcsZone::ofCalendar(options.primaryZone));
        IcsParser parser(text, options, *data, nameAddress);
        nameAddress = parser.run();
        if (nameAddress && attempt == 0)
            continue;  // read again, knowing the calendar's own address from the start
        data->title =
            options.usesTextName && !data->name.empty() ? data->name : options.fallbackName;
        return std::shared_ptr<const IcsDocument>(new IcsDocument(std::move(data)));
    }
    return nullptr;  // not reached: the second reading has its address fixed
}

bool IcsDocument::isCalendar() const
{
    return m_data->isCalendar;
}
const std::string& IcsDocument::name() const
{
    return m_data->name;
}
const std::string& IcsDocument::title() const
{
    return m_data->title;
}
const std::string& IcsDocument::color() const
{
    return m_data->color;
}
bool IcsDocument::isPublishedFeed() const
{
    return m_data->isFeed;
}
bool IcsDocument::isTruncated() const
{
    return m_data->isTruncated;
}
std::size_t IcsDocument::eventCount() const
{
    return m_data->items.size();
}
std::vector<AnsweredAddress> IcsDocument::answeredAddresses() const
{
    std::vector<AnsweredAddress> out;
    out.reserve(m_data->answered.size());
    for (const auto& [address, events] : m_data->answered)
        out.push_back({address, events});
    return out;
}
const SourceProblemList& IcsDocument::problems() const
{
    return m_data->problems;
}

bool IcsDocument::expand(std::span<const IcsDocument* const> documents, Date from, Date to,
                         const std::string& calendarID, const std::string& colorHex,
                         std::size_t maxOccurrences, std::vector<CalendarEvent>& out,
                         SourceProblemList& problems)
{
    if (!(from < to))
        return true;
    std::vector<const Data*> data;
    data.reserve(documents.size());
    for (const IcsDocument* document : documents)
        data.push_back(document->m_data.get());
    IcsExpander expander(from, to, calendarID, colorHex, maxOccurrences, out, problems);
    return expander.run(data);
}

std::string IcsDocument::normalizedColorHex(std::string_view text)
{
    text = IcsText::trimmed(text);
    auto isHex = [](std::string_view digits) {
        return std::all_of(digits.begin(), digits.end(),
                           [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    };
    std::string hex;
    if (!text.empty() && text.front() == '#') {
        const std::string_view digits = text.substr(1);
        if (!isHex(digits))
            return {};
        if (digits.size() == 3)
            hex = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
        else if (digits.size() == 6 || digits.size() == 8)
            hex = digits.substr(0, 6);  // "#RRGGBBAA": the alpha is dropped
        else
            return {};
    } else {
        // CSS colour names ("turquoise"), as RFC 7986 writes COLOR.
        if (text.empty() || text.size() > 32 || !std::all_of(text.begin(), text.end(), [](char c) {
                return std::isalpha(static_cast<unsigned char>(c));
            }))
            return {};
        const auto named = CssColor::hex(text);
        if (!named)
            return {};
        hex = named->substr(1);
    }
    for (char& c : hex)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "#" + hex;
}

bool IcsDocument::isEmailAddress(std::string_view text)
{
    text = IcsText::trimmed(text);
    const auto at = text.find('@');
    if (at == 0 || at == std::string_view::npos || text.find('@', at + 1) != std::string_view::npos)
        return false;
    const std::string_view domain = text.substr(at + 1);
    const auto dot = domain.find('.');
    if (dot == 0 || dot == std::string_view::npos || domain.back() == '.')
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || c == '\t' || c == ':' || c == '<' || c == '>' || c == ',' || c == ';';
    });
}

}  // namespace nelvo
