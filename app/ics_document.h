#pragma once

#include "app/answered_address.h"
#include "app/source_problem_list.h"
#include "kit/core/calendar_event.h"
#include "kit/core/date.h"
#include "kit/core/time_zone.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nelvo {

// The events of one iCalendar text (a file), read once and then expanded over any window.
// Reading keeps only what the events need (times, rules, title, status, transparency and
// the user's own attendee line), so that re-expanding after a change of window costs no
// re-reading. No libical include here: the reader's parts live in app/ics/, behind
// app/ics/ics_internal.h.
class IcsDocument {
public:
    struct Options {
        std::string calendarID;  // the identity given to events without a UID depends on it
        std::string origin;      // the file, as warnings name it
        TimeZone primaryZone = TimeZone::utc();  // for floating times and all-day dates
        // The user's calendar addresses, in any case, with or without "mailto:".
        std::vector<std::string> addresses;
        // The calendar's name when the text gives none (the file name without ".ics").
        std::string fallbackName;
        // False for an event file of a folder calendar: its name is `fallbackName` whatever
        // the text says.
        bool usesTextName = true;
    };

    // Bounds that keep hostile files from hanging the reader or exhausting memory.
    static constexpr std::size_t maxEvents = 200'000;  // per text
    // Expansion work per file and window: steps of rule iterators and processor time.
    static constexpr std::size_t maxStepsPerFile = 200'000;
    static constexpr double cpuSecondsPerFile = 0.5;

    // Never fails: a text that is not iCalendar gives a document with isCalendar() false;
    // a malformed event is left out with a warning.
    static std::shared_ptr<const IcsDocument> parse(std::string_view text, const Options& options);
    ~IcsDocument();
    IcsDocument(const IcsDocument&) = delete;
    IcsDocument& operator=(const IcsDocument&) = delete;

    // False when the text holds no VCALENDAR at all.
    bool isCalendar() const;
    // X-WR-CALNAME (else NAME) as written, unescaped; empty when the text names none.
    const std::string& name() const;
    // The calendar's name: name() where it counts, else Options::fallbackName.
    const std::string& title() const;
    // COLOR (else X-APPLE-CALENDAR-COLOR) as written; empty when none.
    const std::string& color() const;
    // The calendar says it is a published feed (REFRESH-INTERVAL, SOURCE or X-PUBLISHED-TTL).
    bool isPublishedFeed() const;
    // More than maxEvents events: the rest were left out.
    bool isTruncated() const;
    // Events read (series count once, overrides apart).
    std::size_t eventCount() const;
    // The attendees who answered its events, each with the number of events, in no order.
    std::vector<AnsweredAddress> answeredAddresses() const;
    // What reading met: malformed events skipped, unknown zones, malformed shapes.
    const SourceProblemList& problems() const;

    // Appends to `out` every occurrence of the documents' events overlapping [from, to),
    // the documents taken as one calendar (a RECURRENCE-ID in one replaces an occurrence of
    // a series in another). Stops after `maxOccurrences` appended, and returns false then.
    // A rule that could not be expanded over the whole window within the bounds is reported
    // in `problems` as an incomplete expansion. The order is the documents'.
    static bool expand(std::span<const IcsDocument* const> documents, Date from, Date to,
                       const std::string& calendarID, const std::string& colorHex,
                       std::size_t maxOccurrences, std::vector<CalendarEvent>& out,
                       SourceProblemList& problems);

    // "#RRGGBB" in upper case from "#rgb", "#rrggbb", "#rrggbbaa" or a CSS colour name;
    // empty for anything else.
    static std::string normalizedColorHex(std::string_view text);
    // Whether the text is one e-mail address ("ana@example.com").
    static bool isEmailAddress(std::string_view text);

    struct Data;

private:
    explicit IcsDocument(std::unique_ptr<Data> data);
    std::unique_ptr<Data> m_data;
};

}  // namespace nelvo
