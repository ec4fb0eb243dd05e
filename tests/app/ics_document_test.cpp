#include "app/ics_document.h"

#include "support/golden.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nelvo {
namespace {

using namespace std::string_literals;
using test::at;
using test::iso;
using test::zone;
using Participation = CalendarEvent::Participation;

// Lines joined with CRLF, as real exports write them.
std::string crlf(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines)
        out += std::string(line) + "\r\n";
    return out;
}

std::string vevent(std::initializer_list<const char*> lines)
{
    return "BEGIN:VEVENT\r\n" + crlf(lines) + "END:VEVENT\r\n";
}

std::string vcalendar(const std::string& body)
{
    return "BEGIN:VCALENDAR\r\n" + body + "END:VCALENDAR\r\n";
}

IcsDocument::Options options(std::string calendarID = "/cal/work.ics")
{
    IcsDocument::Options o;
    o.calendarID = std::move(calendarID);
    o.origin = "/cal/work.ics";
    o.primaryZone = zone("America/New_York");
    o.addresses = {"ana@example.com"};
    o.fallbackName = "work";
    return o;
}

// The lines of a list of problems.
std::vector<std::string> messages(const SourceProblemList& problems)
{
    std::vector<std::string> out;
    for (const SourceProblem& p : problems.list())
        out.push_back(p.message);
    return out;
}

// The occurrences by start, then title; the expansion's problems into `problems`.
std::vector<CalendarEvent> expand(const IcsDocument& doc, const char* from, const char* to,
                                  SourceProblemList* problems = nullptr)
{
    std::vector<CalendarEvent> out;
    SourceProblemList own;
    const IcsDocument* docs[] = {&doc};
    IcsDocument::expand(docs, at(from), at(to), "/cal/work.ics", "#112233", 1'000'000, out,
                        problems ? *problems : own);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return a.start != b.start ? a.start < b.start : a.title < b.title;
    });
    return out;
}

// "title start end" for each occurrence.
std::vector<std::string> summary(const std::vector<CalendarEvent>& events)
{
    std::vector<std::string> out;
    for (const auto& e : events)
        out.push_back(e.title + " " + iso(e.start) + " " + iso(e.end));
    return out;
}

// One calendar with the shapes real exports hold, its expansion written down beside it
// (IcsCorpus); the user is ana@example.com and the primary zone New York. Weekly, in the
// file's own zone, with one moved occurrence and EXDATEs in that zone, in UTC and in another
// zone; monthly in a Windows zone without a VTIMEZONE, UNTIL its last start in UTC; all day
// over three days; floating and transparent; TRANSPARENT-NOCONFLICT; daily in UTC with
// DURATION, one occurrence cancelled; declined; tentative as one mail suite writes it; no
// UID; waiting for an answer; a DURATION in weeks; out of office with no end.
const std::string mixedCalendar = test::readFile(test::testDataPath("ics/mixed_export.ics"));

const CalendarEvent* find(const std::vector<CalendarEvent>& events, const std::string& title)
{
    for (const auto& e : events)
        if (e.title == title)
            return &e;
    return nullptr;
}

TEST(IcsDocument, ASeriesKeepsItsIdentityAndUntilAndAFlightItsTwoZones)
{
    const auto doc = IcsDocument::parse(mixedCalendar, options());
    const auto march = expand(*doc, "2025-03-01T05:00:00Z", "2025-04-01T04:00:00Z");
    // A series' occurrence is known by the UID and its own start, a moved one by its original.
    const CalendarEvent& sync = *find(march, "Team sync");
    EXPECT_EQ(sync.eventID, "team-sync");
    EXPECT_EQ(sync.occurrenceStart, sync.start);
    EXPECT_EQ(find(march, "Team sync (moved)")->eventID, "team-sync");
    EXPECT_EQ(iso(find(march, "Team sync (moved)")->occurrenceStart), "2025-03-24T14:00:00Z");
    // The UNTIL holds: nothing in April from the monthly rule.
    EXPECT_EQ(find(expand(*doc, "2025-04-01T04:00:00Z", "2025-05-01T04:00:00Z"), "Board review"),
              nullptr);
    // An overnight flight: each end in its own zone, each zone met for the first time (reading
    // the second zone once left the first one's reference dangling).
    const auto flight =
        IcsDocument::parse(vcalendar(vevent({"UID:flight", "SUMMARY:Flight",
                                             "DTSTART;TZID=America/Denver:20250303T180000",
                                             "DTEND;TZID=Europe/London:20250304T100000"})),
                           options());
    EXPECT_EQ(summary(expand(*flight, "2025-03-03T00:00:00Z", "2025-03-05T00:00:00Z")),
              std::vector<std::string>{"Flight 2025-03-04T01:00:00Z 2025-03-04T10:00:00Z"});
}

TEST(IcsDocument, ReadsCalendarPropertiesColoursAddressesAndIdentities)
{
    // The calendar's name is an address: the user is that attendee, even with no address set,
    // and even when the name comes after the events (the text is read again).
    const std::string name = "X-WR-CALNAME:Ana@Example.com\r\n";
    const std::string event = vevent({"UID:a", "SUMMARY:Review", "DTSTART:20250303T150000Z",
                                      "ATTENDEE;PARTSTAT=DECLINED:mailto:ana@example.com"});
    IcsDocument::Options noAddress = options();
    noAddress.addresses.clear();
    for (bool nameFirst : {true, false}) {
        const auto doc =
            IcsDocument::parse(vcalendar(nameFirst ? name + event : event + name), noAddress);
        EXPECT_EQ(doc->title(), "Ana@Example.com");
        EXPECT_EQ(expand(*doc, "2025-03-03T00:00:00Z", "2025-03-04T00:00:00Z").at(0).participation,
                  Participation::declined)
            << nameFirst;
    }
    // A published feed, its colour and RFC 7986 name; LF endings work as well as CRLF.
    const auto feed = IcsDocument::parse("BEGIN:VCALENDAR\nNAME:Holidays\nREFRESH-INTERVAL;VALUE="
                                         "DURATION:P1D\nX-APPLE-CALENDAR-COLOR:#FF2968FF\n"
                                         "END:VCALENDAR\n",
                                         options());
    EXPECT_EQ(feed->title(), "Holidays");
    EXPECT_TRUE(feed->isPublishedFeed());
    EXPECT_EQ(feed->color(), "#FF2968FF");
    EXPECT_FALSE(IcsDocument::parse(mixedCalendar, options())->isPublishedFeed());
    // Without a name the fallback serves; a folder calendar's event files never name it.
    EXPECT_EQ(IcsDocument::parse(vcalendar(""), options())->title(), "work");
    IcsDocument::Options inFolder = options();
    inFolder.usesTextName = false;
    EXPECT_EQ(IcsDocument::parse(mixedCalendar, inFolder)->title(), "work");
    // Colours: short, long and alpha forms, and CSS names in any case (the first and the last
    // of the table), become #RRGGBB in upper case; anything else is no colour.
    const std::pair<const char*, const char*> colours[] = {{"#f00", "#FF0000"},
                                                           {"#FF2968FF", "#FF2968"},
                                                           {" turquoise ", "#40E0D0"},
                                                           {"AliceBlue", "#F0F8FF"},
                                                           {"yellowgreen", "#9ACD32"},
                                                           {"", ""},
                                                           {"#12", ""},
                                                           {"#GGGGGG", ""},
                                                           {"turquoisee", ""}};
    for (const auto& [given, normalized] : colours)
        EXPECT_EQ(IcsDocument::normalizedColorHex(given), normalized) << given;
    // What does not count as an address (the calendar's name above does).
    for (const char* bad : {"Work", "ana@example", "a@b@c.com", "ana @x.com"})
        EXPECT_FALSE(IcsDocument::isEmailAddress(bad)) << bad;
    // The UID-less dentist's appointment, each time from a fresh reading.
    auto dentist = [](const IcsDocument::Options& o) {
        const auto doc = IcsDocument::parse(mixedCalendar, o);
        return *find(expand(*doc, "2025-03-14T00:00:00Z", "2025-03-15T00:00:00Z"), "Dentist");
    };
    IcsDocument::Options otherAddress = options();
    otherAddress.addresses = {"clinic@example.com"};
    const std::string id = dentist(options()).eventID;

    // Made from the calendar and the content, so the same on every reading, also when the
    // user's addresses change (attendee lines are not part of it).
    EXPECT_EQ(id, dentist(otherAddress).eventID);
    // Nor do the events before it in the file: alone there, it keeps its identity.
    const auto alone = IcsDocument::parse(
        vcalendar(vevent({"SUMMARY:Dentist", "DTSTART:20250314T080000", "DTEND:20250314T090000",
                          "ATTENDEE:mailto:clinic@example.com"})),
        options());
    EXPECT_EQ(id, expand(*alone, "2025-03-14T00:00:00Z", "2025-03-15T00:00:00Z").at(0).eventID);
    // Another calendar holding the same text gives another identity.
    EXPECT_NE(id, dentist(options("/cal/other.ics")).eventID);
    // The clinic's own address finds it as an attendee there, with the default answer.
    EXPECT_EQ(dentist(otherAddress).participation, Participation::pending);
}

// Events without a usable start are skipped, each named with its line, and the rest read
// (ics/skipped_events.txt); here, what is not iCalendar at all, and quoting.
TEST(IcsDocument, NotACalendarAndTextQuotedCleanly)
{
    // Not iCalendar at all.
    const auto notCalendar = IcsDocument::parse("just some notes\nBEGIN:nothing\n", options());
    EXPECT_FALSE(notCalendar->isCalendar());
    EXPECT_EQ(notCalendar->eventCount(), 0u);
    // Text from the file is quoted in messages without control characters and at a sane length.
    const std::string tzid = "\x1b[2J" + std::string(100'000, 'Z');
    const auto quoted = IcsDocument::parse(
        vcalendar(vevent({"UID:z", ("DTSTART;TZID=" + tzid + ":20250303T100000").c_str()})),
        options());
    EXPECT_EQ(messages(quoted->problems()),
              std::vector<std::string>{"unknown time zone \"?[2J" + std::string(60, 'Z') +
                                       "...\" in \"/cal/work.ics\": its times are read in "
                                       "America/New_York"});
}

// The same zone rules as Outlook writes them, from 1601, and from 1970 (ics/outlook_zones.ics),
// each with an event in winter, in summer, in the hour that happens twice, and in 1975.
TEST(IcsDocument, ReadsOutlookZonesThatBeginIn1601)
{
    const auto doc =
        IcsDocument::parse(test::readFile(test::testDataPath("ics/outlook_zones.ics")), options());
    const auto events = expand(*doc, "1975-01-01T00:00:00Z", "2026-01-01T00:00:00Z");

    EXPECT_EQ(iso(find(events, "Outlook 20250303T090000")->start), "2025-03-03T17:00:00Z");
    EXPECT_EQ(iso(find(events, "Outlook 20250701T090000")->start), "2025-07-01T16:00:00Z");
    for (const std::string wall :
         {"20250303T090000", "20250701T090000", "20251102T013000", "19751201T090000"})
        EXPECT_EQ(find(events, "Outlook " + wall)->start, find(events, "Since 1970 " + wall)->start)
            << wall;
}

TEST(IcsDocument, BoundsHostileRecurrenceAndSurvivesBrokenStructure)
{
    const std::string text = vcalendar(
        // Every second since 1970: only the window's hour is walked.
        vevent({"UID:seconds", "DTSTART:19700101T000000Z", "RRULE:FREQ=SECONDLY"}) +
        // A count no one could reach, daily since 1700: started at the window.
        vevent({"UID:count", "SUMMARY:Count", "DTSTART:17000101T090000Z",
                "RRULE:FREQ=DAILY;COUNT=2000000000"}) +
        // A zone whose rules change every second is not used as a zone.
        crlf({"BEGIN:VTIMEZONE", "TZID:Hostile", "BEGIN:STANDARD", "DTSTART:16010101T000000",
              "TZOFFSETFROM:+0100", "TZOFFSETTO:+0000", "RRULE:FREQ=SECONDLY", "END:STANDARD",
              "END:VTIMEZONE"}) +
        vevent({"UID:hostile-zone", "SUMMARY:In a hostile zone",
                "DTSTART;TZID=Hostile:20250303T040000"}) +
        // Nor is one whose yearly change can never happen.
        crlf({"BEGIN:VTIMEZONE", "TZID:Never", "BEGIN:DAYLIGHT", "DTSTART:16010101T000000",
              "TZOFFSETFROM:+0100", "TZOFFSETTO:+0200", "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30",
              "END:DAYLIGHT", "END:VTIMEZONE"}) +
        vevent({"UID:never-zone", "SUMMARY:In a zone that never changes",
                "DTSTART;TZID=Never:20250303T041500"}));
    const auto doc = IcsDocument::parse(text, options());
    SourceProblemList problems;
    const auto events = expand(*doc, "2025-03-03T09:00:00Z", "2025-03-03T10:00:00Z", &problems);

    EXPECT_EQ(events.size(), 3600u + 3);
    EXPECT_EQ(iso(find(events, "In a zone that never changes")->start), "2025-03-03T09:15:00Z");
    EXPECT_EQ(iso(find(events, "Count")->start), "2025-03-03T09:00:00Z");
    EXPECT_EQ(iso(find(events, "In a hostile zone")->start), "2025-03-03T09:00:00Z");
    EXPECT_TRUE(problems.empty()) << messages(problems).front();
    // Deep nesting, stray ENDs, a BEGIN:VEVENT inside an event, binary noise, empty input.
    std::string deep = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 10000; ++i)
        deep += "BEGIN:X\r\n";
    const std::string inputs[] = {
        deep,
        "END:VEVENT\r\nEND:VCALENDAR\r\nBEGIN:VCALENDAR\r\nEND:VALARM\r\nEND:VEVENT\r\n",
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART:20250303T150000Z\r\nEND:"
        "VEVENT\r\n",
        "BEGIN:VCALENDAR\r\n\0\xff\xfe:;\"\r\n \r\n\t\r\nBEGIN:VEVENT\r\nDTSTART;TZID=\""s,
        "",
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20250303T150000Z\r\nRRULE:FREQ=YEARLY;BYMONTH="
        "2;"
        "BYMONTHDAY=30\r\nRDATE;VALUE=PERIOD:20250303T160000Z/PT1H,garbage\r\nEXDATE:garbage\r\n"
        "RECURRENCE-ID:garbage\r\nEND:VEVENT\r\n",
    };
    for (const std::string& input : inputs) {
        const auto broken = IcsDocument::parse(input, options());
        ASSERT_NE(broken, nullptr);
        expand(*broken, "2025-03-01T00:00:00Z", "2025-04-01T00:00:00Z");
    }
    // The event after the nested one is read.
    EXPECT_EQ(IcsDocument::parse(inputs[2], options())->eventCount(), 1u);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr auto hangCeiling = std::chrono::seconds(60);  // the sanitizers' checks cost
#else
constexpr auto hangCeiling = std::chrono::seconds(10);
#endif

// Small files that once searched for minutes: rules that can never match, sub-daily rules
// whose next match is months away, and thousands of yearly rules that never match. The
// ceiling only catches a hang; the figures are the benchmark's.
TEST(IcsDocument, HostileRulesCostLittle)
{
    std::string body;
    for (const char* freq : {"SECONDLY", "MINUTELY", "HOURLY"})
        body += vevent({"UID:never", "DTSTART:20250101T000000Z",
                        ("RRULE:FREQ="s + freq + ";BYMONTH=2;BYMONTHDAY=30").c_str()});
    body += vevent({"UID:february", "SUMMARY:February", "DTSTART:20250101T000000Z",
                    "RRULE:FREQ=SECONDLY;BYMONTH=2"});
    for (int i = 0; i < 2000; ++i)
        body += vevent({"DTSTART:20250101T090000Z", "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30"});
    const auto started = std::chrono::steady_clock::now();
    const auto doc = IcsDocument::parse(vcalendar(body), options());
    SourceProblemList problems;
    const auto events = expand(*doc, "2025-03-01T05:00:00Z", "2025-04-01T04:00:00Z", &problems);
    EXPECT_LT(std::chrono::steady_clock::now() - started, hangCeiling);

    // Nothing in March; each impossible rule said once, past five counted.
    EXPECT_TRUE(events.empty());
    const auto lines = messages(problems);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.front(),
              "a repeat rule in \"/cal/work.ics\" (line 2) can never match; only its "
              "first occurrence is read");
    EXPECT_EQ(lines.back(), "and 1,998 more events in \"/cal/work.ics\" were read as far as they "
                            "could be");
    // A window in February has the sparse rule's seconds.
    const auto february = expand(*doc, "2025-02-10T00:00:00Z", "2025-02-10T00:01:00Z");
    EXPECT_EQ(february.size(), 60u);
}

// Busy time is never dropped for being far from the start of a series: a rule is expanded
// up to the window where it can skip ahead, and is reported when it cannot be.
TEST(IcsDocument, LongSeriesReachTheWindowOrAreReported)
{
    const auto doc = IcsDocument::parse(
        vcalendar(
            vevent({"UID:daily", "SUMMARY:Daily", "DTSTART:16010101T090000Z", "DURATION:PT1H",
                    "RRULE:FREQ=DAILY;COUNT=2000000000"}) +
            vevent({"UID:quarter", "SUMMARY:Quarter", "DTSTART:20000101T000000Z", "DURATION:PT15M",
                    "RRULE:FREQ=MINUTELY;INTERVAL=15;COUNT=1000000"}) +
            vevent({"UID:monthly", "SUMMARY:Monthly", "DTSTART:17000103T090000Z",
                    "RRULE:FREQ=MONTHLY;COUNT=100000"}) +
            // Series whose COUNT ran out before the window: nothing there.
            vevent({"UID:ended-daily", "DTSTART:20250101T090000Z", "RRULE:FREQ=DAILY;COUNT=10"}) +
            vevent(
                {"UID:ended-monthly", "DTSTART:20240103T090000Z", "RRULE:FREQ=MONTHLY;COUNT=3"})),
        options());
    SourceProblemList problems;
    const auto events = expand(*doc, "2025-03-03T00:00:00Z", "2025-03-04T00:00:00Z", &problems);
    EXPECT_TRUE(problems.empty()) << messages(problems).front();
    ASSERT_EQ(events.size(), 1u + 1u + 96u);  // the million quarter-hours last until 2028
    EXPECT_EQ(summary({*find(events, "Daily")}),
              std::vector<std::string>{"Daily 2025-03-03T09:00:00Z 2025-03-03T10:00:00Z"});
    EXPECT_EQ(iso(find(events, "Monthly")->start), "2025-03-03T09:00:00Z");

    // A rule with parts that vary per period cannot skip ahead: from 1601 it is reported,
    // with the file and the line, never the title.
    const auto hidden = IcsDocument::parse(
        vcalendar(vevent({"UID:hours", "SUMMARY:Private title", "DTSTART:16010101T000000Z",
                          "DURATION:PT1H", "RRULE:FREQ=DAILY;BYHOUR=9,10,11,12;COUNT=2000000000"})),
        options());
    SourceProblemList hiddenProblems;
    expand(*hidden, "2025-03-03T00:00:00Z", "2025-03-04T00:00:00Z", &hiddenProblems);
    const auto listed = hiddenProblems.list();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].kind, SourceProblem::Kind::incompleteExpansion);
    EXPECT_TRUE(listed[0].hidesBusyTime());
    EXPECT_EQ(listed[0].message.rfind("cannot expand the repeating event in \"/cal/work.ics\" "
                                      "(line 2) to the end of the range: ",
                                      0),
              0u)
        << listed[0].message;
    EXPECT_EQ(listed[0].message.find("Private"), std::string::npos);
}

// "This and later occurrences" moved: every later occurrence takes the change's shift and
// length; earlier ones stay; a later single change still wins for its own occurrence (the
// expansion: ics/this_and_future.txt).
TEST(IcsDocument, ChangesToThisAndFutureOccurrences)
{
    const auto doc = IcsDocument::parse(
        test::readFile(test::testDataPath("ics/this_and_future.ics")), options());
    const auto events = expand(*doc, "2025-03-01T05:00:00Z", "2025-04-30T04:00:00Z");
    // Each keeps the identity of the occurrence it replaces.
    EXPECT_EQ(iso(events[3].occurrenceStart), "2025-03-24T14:00:00Z");
    // A window after the shift moved occurrences in still finds them.
    EXPECT_EQ(expand(*doc, "2025-04-07T17:00:00Z", "2025-04-07T17:30:00Z").size(), 1u);
}

}  // namespace
}  // namespace nelvo
