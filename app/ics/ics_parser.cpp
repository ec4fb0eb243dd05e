#include "app/ics/ics_parser.h"

#include "app/ics/ics_event_reader.h"
#include "app/ics/ics_item_resolver.h"
#include "app/ics/ics_line_scanner.h"
#include "app/ics/ics_rule_check.h"
#include "app/ics/ics_text.h"

namespace nelvo {

using IcsText::equalsIgnoringCase;
using IcsText::inQuotes;
using IcsText::normalizedAddress;
using IcsText::trimmed;

namespace {

// The event properties the reader uses; everything else (descriptions, attendee lists,
// alarms, vendor extensions: most of a real file) never reaches libical.
bool isKeptEventProperty(std::string_view name)
{
    static constexpr std::string_view kept[] = {
        "UID",    "DTSTART",       "DTEND",   "DURATION", "RRULE",  "RDATE",
        "EXDATE", "RECURRENCE-ID", "SUMMARY", "STATUS",   "TRANSP", "X-MICROSOFT-CDO-BUSYSTATUS"};
    for (std::string_view k : kept)
        if (equalsIgnoringCase(name, k))
            return true;
    return false;
}

}  // namespace

IcsParser::IcsParser(std::string_view text, const IcsDocument::Options& options,
                     IcsDocument::Data& data, std::optional<std::string> fixedNameAddress)
    : m_text(text), m_options(options), m_data(data),
      m_fixedNameAddress(std::move(fixedNameAddress)), m_zones(data, options.primaryZone)
{
    for (const std::string& a : options.addresses)
        if (auto n = normalizedAddress(a); !n.empty())
            m_userAddresses.push_back(std::move(n));
    if (m_fixedNameAddress)
        m_nameAddress = *m_fixedNameAddress;
    else if (IcsDocument::isEmailAddress(options.fallbackName))
        m_nameAddress = normalizedAddress(options.fallbackName);
    refreshAddresses();
}

std::optional<std::string> IcsParser::run()
{
    IcsLineScanner scanner(m_text);
    while (scanner.next()) {
        handle(scanner);
        if (m_rescanAddress)
            return m_rescanAddress;
        if (m_stopped)
            break;
    }
    if (m_where == Where::event && !m_stopped)
        skipEvent(m_blockLine, "it has no end");
    resolve();
    return std::nullopt;
}

void IcsParser::refreshAddresses()
{
    m_addresses = m_userAddresses;
    if (!m_nameAddress.empty())
        m_addresses.push_back(m_nameAddress);
}

void IcsParser::problem(SourceProblem::Kind kind, std::string message)
{
    m_data.problems.add({.kind = kind, .path = m_options.origin, .message = std::move(message)});
}

void IcsParser::skipEvent(int line, const std::string& why)
{
    problem(SourceProblem::Kind::skippedEvent, "skipped an event " + at(line) + ": " + why);
}

std::string IcsParser::at(int line) const
{
    return "in " + inQuotes(m_options.origin) + " (line " + std::to_string(line) + ")";
}

void IcsParser::handle(IcsLineScanner& scanner)
{
    const std::string_view name = scanner.name();
    const bool isBegin = equalsIgnoringCase(name, "BEGIN");
    const bool isEnd = !isBegin && equalsIgnoringCase(name, "END");
    std::string_view value;
    if (isBegin || isEnd)
        value = trimmed(IcsText::propertyValue(scanner.line()));

    switch (m_where) {
    case Where::outside:
        if (isBegin && equalsIgnoringCase(value, "VCALENDAR")) {
            m_where = Where::calendar;
            m_data.isCalendar = true;
        }
        return;
    case Where::calendar:
        handleCalendar(scanner, isBegin, isEnd, value);
        return;
    case Where::event:
        handleEvent(scanner, isBegin, isEnd, value);
        return;
    case Where::timezone:
        handleTimezone(scanner, isBegin, isEnd);
        return;
    case Where::skipping:
        if (isBegin)
            ++m_depth;
        else if (isEnd && --m_depth == 0)
            m_where = Where::calendar;
        return;
    }
}

void IcsParser::handleCalendar(IcsLineScanner& scanner, bool isBegin, bool isEnd,
                               std::string_view value)
{
    if (isBegin) {
        if (equalsIgnoringCase(value, "VEVENT")) {
            beginEvent(scanner.lineNumber());
        } else if (equalsIgnoringCase(value, "VTIMEZONE")) {
            beginTimezone();
        } else if (equalsIgnoringCase(value, "VCALENDAR")) {
            // Not allowed, but its events are the user's all the same.
            ++m_nestedCalendars;
            problem(SourceProblem::Kind::malformed,
                    "a calendar is nested in another " + at(scanner.lineNumber()) +
                        "; its events are read as the outer calendar's");
        } else {
            m_where = Where::skipping;
            m_depth = 1;
        }
    } else if (isEnd) {
        if (equalsIgnoringCase(value, "VCALENDAR")) {
            if (m_nestedCalendars > 0)
                --m_nestedCalendars;
            else
                m_where = Where::outside;
        }
    } else {
        calendarProperty(scanner.name(), scanner.line());
    }
}

void IcsParser::handleEvent(IcsLineScanner& scanner, bool isBegin, bool isEnd,
                            std::string_view value)
{
    if (isBegin) {
        if (m_depth == 0 && equalsIgnoringCase(value, "VEVENT")) {
            skipEvent(m_blockLine, "it has no end");
            beginEvent(scanner.lineNumber());
        } else {
            ++m_depth;
        }
    } else if (isEnd) {
        if (m_depth > 0) {
            --m_depth;
        } else if (equalsIgnoringCase(value, "VCALENDAR")) {
            skipEvent(m_blockLine, "it has no end");
            if (m_nestedCalendars > 0) {
                --m_nestedCalendars;
                m_where = Where::calendar;
            } else {
                m_where = Where::outside;
            }
        } else {
            endEvent();
        }
    } else if (m_depth == 0) {
        eventProperty(scanner.name(), scanner.line(), scanner.lineNumber());
    }
}

void IcsParser::eventProperty(std::string_view name, std::string_view line, int lineNo)
{
    if (isKeptEventProperty(name)) {
        if (isWellFormed(name, line, lineNo))
            keep(name, line);
    } else if (equalsIgnoringCase(name, "ATTENDEE")) {
        m_blockIsInvitation = true;
        noteAnswer(line);
        // Only the user's own attendee line is kept; real invitations list hundreds.
        for (const std::string& address : m_addresses) {
            if (IcsText::containsLowered(line, address)) {
                keep(name, line);
                break;
            }
        }
        if (!m_sawName)
            m_sawAttendeeBeforeName = true;
    }
}

// An attendee who accepted, declined or answered maybe: a candidate for the user's own
// address. Read from the line as written, as the line itself is not kept.
void IcsParser::noteAnswer(std::string_view line)
{
    const std::string parameters = IcsText::lowered(IcsText::propertyParameters(line));
    const auto at = parameters.find("partstat=");
    if (at == std::string::npos)
        return;
    std::string_view answer = std::string_view(parameters).substr(at + 9);
    answer = answer.substr(0, answer.find(';'));
    if (answer != "accepted" && answer != "declined" && answer != "tentative")
        return;
    std::string address = normalizedAddress(IcsText::propertyValue(line));
    if (!IcsDocument::isEmailAddress(address) ||
        std::find(m_blockAnswered.begin(), m_blockAnswered.end(), address) != m_blockAnswered.end())
        return;
    m_blockAnswered.push_back(std::move(address));
}

bool IcsParser::isWellFormed(std::string_view name, std::string_view line, int lineNo)
{
    const std::string_view value = IcsText::propertyValue(line);
    if (equalsIgnoringCase(name, "RRULE")) {
        if (const std::string part = IcsRuleCheck::unknownPart(value); !part.empty()) {
            problem(SourceProblem::Kind::malformed,
                    "a repeat rule " + at(lineNo) + " has an unknown part " +
                        IcsText::quotedForMessage(part, 32) +
                        "; the event is read without it, from its first occurrence only");
            return false;
        }
    } else if (equalsIgnoringCase(name, "RDATE")) {
        if (IcsRuleCheck::isPeriodOfDates(IcsText::propertyParameters(line), value)) {
            problem(SourceProblem::Kind::malformed,
                    "an extra date " + at(lineNo) +
                        " is a period between dates, not times; it is left out");
            return false;
        }
    } else if (equalsIgnoringCase(name, "DURATION")) {
        if (IcsRuleCheck::isAbsurdDuration(value, IcsBounds::maxSpanDays * 86400.0)) {
            m_blockSkip =
                "its DURATION (line " + std::to_string(lineNo) + ") is longer than a century";
            return false;
        }
    }
    return true;
}

void IcsParser::calendarProperty(std::string_view name, std::string_view line)
{
    const std::string_view value = trimmed(IcsText::propertyValue(line));
    if (equalsIgnoringCase(name, "X-WR-CALNAME") ||
        (equalsIgnoringCase(name, "NAME") && !m_sawWrName)) {
        calendarName(name, value);
    } else if (equalsIgnoringCase(name, "COLOR")) {
        m_data.color = std::string(value);
        m_sawColor = true;
    } else if (equalsIgnoringCase(name, "X-APPLE-CALENDAR-COLOR")) {
        if (!m_sawColor)
            m_data.color = std::string(value);
    } else if (equalsIgnoringCase(name, "REFRESH-INTERVAL") || equalsIgnoringCase(name, "SOURCE") ||
               equalsIgnoringCase(name, "X-PUBLISHED-TTL")) {
        m_data.isFeed = true;
    }
}

// A calendar named by an address is the calendar of that address: its owner is the user.
void IcsParser::calendarName(std::string_view name, std::string_view value)
{
    m_sawWrName = m_sawWrName || equalsIgnoringCase(name, "X-WR-CALNAME");
    m_data.name = IcsText::truncatedUtf8(IcsText::unescapedText(value), IcsBounds::maxTitleBytes);
    m_sawName = true;
    if (!m_options.usesTextName || m_fixedNameAddress)
        return;
    const std::string address =
        IcsDocument::isEmailAddress(m_data.name) ? normalizedAddress(m_data.name) : std::string();
    if (address == m_nameAddress)
        return;
    if (m_sawAttendeeBeforeName) {
        m_rescanAddress = address;
        return;
    }
    m_nameAddress = address;
    refreshAddresses();
}

void IcsParser::beginEvent(int lineNo)
{
    m_where = Where::event;
    m_depth = 0;
    m_blockLine = lineNo;
    m_blockTooLong = false;
    m_blockHasStart = false;
    m_blockIsInvitation = false;
    m_blockAnswered.clear();
    m_blockSkip.clear();
    m_block.assign("BEGIN:VEVENT\r\n");
    m_identity.reset();
    m_identity.addData(QByteArrayView(m_options.calendarID.data(),
                                      static_cast<qsizetype>(m_options.calendarID.size())));
}

void IcsParser::keep(std::string_view name, std::string_view line)
{
    if (line.size() > IcsBounds::maxKeptLineBytes) {
        m_blockTooLong = true;
        return;
    }
    m_block.append(line);
    m_block += "\r\n";
    m_blockHasStart = m_blockHasStart || equalsIgnoringCase(name, "DTSTART");
    if (!equalsIgnoringCase(name, "ATTENDEE")) {
        m_identity.addData(QByteArrayView("\n", 1));
        m_identity.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
    }
}

void IcsParser::endEvent()
{
    m_where = Where::calendar;
    if (m_data.items.size() >= IcsDocument::maxEvents) {
        problem(SourceProblem::Kind::cutShort, inQuotes(m_options.origin) + " holds more than " +
                                                   std::to_string(IcsDocument::maxEvents) +
                                                   " events; the rest are left out");
        m_data.isTruncated = true;
        m_stopped = true;
        return;
    }
    if (!m_blockSkip.empty()) {
        skipEvent(m_blockLine, m_blockSkip);
        return;
    }
    m_block += "END:VEVENT\r\n";
    const ComponentPtr component = parseComponent(m_block);
    if (!component || icalcomponent_isa(component.get()) != ICAL_VEVENT_COMPONENT) {
        skipEvent(m_blockLine, "it cannot be read");
        return;
    }
    IcsEventReader reader(m_zones.tzids(), m_zones.tzidIndex(), m_addresses);
    std::string why;
    auto item = reader.read(component.get(), m_blockHasStart, why);
    if (!item) {
        skipEvent(m_blockLine, why);
        return;
    }
    if (m_blockTooLong)
        problem(SourceProblem::Kind::malformed,
                "an event " + at(m_blockLine) + " has a property too long to read; it is left out");
    item->traits.isInvitation = m_blockIsInvitation;
    for (std::string& address : m_blockAnswered)
        ++m_data.answered[std::move(address)];
    item->line = m_blockLine;
    if (!item->hasUid)
        item->eventID = "nelvo-" + m_identity.result().toHex().left(32).toStdString();
    m_data.items.push_back(std::move(*item));
}

void IcsParser::beginTimezone()
{
    m_where = Where::timezone;
    m_depth = 0;
    m_tzid.clear();
    m_blockTooLong = false;
    m_block.assign("BEGIN:VTIMEZONE\r\n");
}

void IcsParser::handleTimezone(IcsLineScanner& scanner, bool isBegin, bool isEnd)
{
    if (isEnd && m_depth == 0) {
        endTimezone();
        return;
    }
    if (isBegin)
        ++m_depth;
    else if (isEnd)
        --m_depth;
    else if (m_depth == 0 && equalsIgnoringCase(scanner.name(), "TZID"))
        m_tzid = std::string(trimmed(IcsText::propertyValue(scanner.line())));
    const std::string_view line = scanner.line();
    if (m_block.size() + line.size() > IcsBounds::maxTimezoneBytes) {
        m_blockTooLong = true;
    } else {
        m_block.append(line);
        m_block += "\r\n";
    }
}

void IcsParser::endTimezone()
{
    m_where = Where::calendar;
    m_block += "END:VTIMEZONE\r\n";
    if (!m_blockTooLong)
        m_zones.define(m_tzid, m_block);
}

void IcsParser::resolve()
{
    IcsItemResolver resolver(m_data, m_zones);
    std::vector<Item> kept;
    kept.reserve(m_data.items.size());
    for (Item& item : m_data.items) {
        if (resolver.resolve(item))
            kept.push_back(std::move(item));
    }
    m_data.items = std::move(kept);
}

}  // namespace nelvo
