// Calendar files of the shapes real producers write, each with its expansion over March 2025
// in New York written down: every occurrence with its traits, then the busy intervals the
// engine would subtract.
#include "app/ics_document.h"
#include "kit/core/availability_engine.h"
#include "kit/model/adjustments.h"
#include "kit/model/busy_classifier.h"

#include "support/event_text.h"
#include "support/golden.h"
#include "support/time_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nelvo {
namespace {

std::string expansionText(const std::string& file)
{
    IcsDocument::Options options;
    options.calendarID = "corpus";
    options.origin = file;
    options.primaryZone = test::zone("America/New_York");
    options.addresses = {"ana@example.com"};
    options.fallbackName = "corpus";
    const auto document =
        IcsDocument::parse(test::readFile(test::testDataPath("ics/" + file)), options);

    std::vector<CalendarEvent> events;
    SourceProblemList problems;
    const IcsDocument* documents[] = {document.get()};
    IcsDocument::expand(documents, test::at("2025-03-01T05:00:00Z"),
                        test::at("2025-04-01T04:00:00Z"), "corpus", "#8E8E93", 10'000, events,
                        problems);
    std::stable_sort(events.begin(), events.end(),
                     [](const auto& a, const auto& b) { return a.start < b.start; });

    std::string text = "# occurrences\n";
    for (const CalendarEvent& e : events)
        text += test::iso(e.start) + " " + test::iso(e.end) + " " + e.title + " | " +
                test::traits(e) + "\n";
    text += "# busy\n";
    const auto busy = AvailabilityEngine::normalizedBusy(
        BusyClassifier::busyIntervals(events, {"corpus"}, Adjustments{}));
    for (const BusyInterval& b : busy)
        text += test::iso(b.start) + " " + test::iso(b.end) + "\n";
    for (const SourceProblem& p : document->problems().list())
        text += "# problem: " + p.message + "\n";
    for (const SourceProblem& p : problems.list())
        text += "# problem: " + p.message + "\n";
    return text;
}

class IcsCorpus : public testing::TestWithParam<const char*> {};

TEST_P(IcsCorpus, ExpandsAsWrittenDown)
{
    const std::string file = GetParam();
    EXPECT_GOLDEN("ics/" + file.substr(0, file.size() - 4) + ".txt", expansionText(file));
}

INSTANTIATE_TEST_SUITE_P(Shapes, IcsCorpus,
                         testing::Values("exchange_weekdays.ics", "rdate_periods.ics",
                                         "global_tzids.ics", "windows_own_vtimezone.ics",
                                         "two_rules.ics", "moved_and_cancelled.ics",
                                         "floating_and_all_day.ics", "several_calendars.ics",
                                         "mixed_export.ics", "this_and_future.ics",
                                         "malformed_shapes.ics", "skipped_events.ics"),
                         [](const auto& testParam) {
                             std::string name = testParam.param;
                             name = name.substr(0, name.size() - 4);
                             std::erase(name, '_');
                             return name;
                         });

}  // namespace
}  // namespace nelvo
