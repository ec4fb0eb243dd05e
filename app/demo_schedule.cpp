#include "app/demo_schedule.h"

namespace nelvo::DemoSchedule {

namespace {
constexpr const char* noColor = "#8E8E93";
}

const std::vector<CalendarInfo>& calendars()
{
    static const std::vector<CalendarInfo> table{
        {.id = "demo.work", .title = "Work", .accountTitle = "Demo", .colorHex = "#3B82F6"},
        {.id = "demo.personal", .title = "Personal", .accountTitle = "Demo", .colorHex = "#F97316"},
    };
    return table;
}

const std::vector<Template>& templates()
{
    using P = CalendarEvent::Participation;
    static const std::vector<Template> table{
        {"Standup", "demo.work", {2, 3, 4, 5, 6}, 570, 600, P::accepted},
        {"Design review", "demo.work", {3, 5}, 660, 720, P::accepted},
        {"Lunch with Tobin", "demo.personal", {4}, 750, 810, P::accepted},
        {"1:1 with Ilsa", "demo.work", {2, 4}, 900, 930, P::accepted},
        {"Roadmap planning", "demo.work", {6}, 780, 900, P::pending},
        {"Gym", "demo.personal", {2, 4, 6}, 1050, 1110, P::accepted},
        {"Farmers market", "demo.personal", {7}, 600, 720, P::accepted},
    };
    return table;
}

std::vector<CalendarEvent> events(Date from, Date to, const Calendar& calendar)
{
    std::vector<CalendarEvent> result;
    std::optional<Date> day = calendar.startOfDay(from);
    while (day && *day < to) {
        const int weekday = calendar.weekday(*day);
        for (const Template& t : templates()) {
            if (!t.weekdays.count(weekday))
                continue;
            const auto s = calendar.addingMinutes(t.startMinute, *day);
            const auto e = calendar.addingMinutes(t.endMinute, *day);
            if (!s || !e || *s < from || *e > to)
                continue;
            std::string color = noColor;
            for (const CalendarInfo& info : calendars())
                if (info.id == t.calendarID)
                    color = info.colorHex;
            result.push_back(CalendarEvent{.eventID = "demo." + t.title,
                                           .occurrenceStart = *s,
                                           .start = *s,
                                           .end = *e,
                                           .title = t.title,
                                           .calendarID = t.calendarID,
                                           .calendarColorHex = std::move(color),
                                           .isAllDay = false,
                                           .availability = CalendarEvent::Availability::busy,
                                           .participation = t.participation,
                                           .isCanceled = false});
        }
        day = calendar.addingDays(1, *day);
    }
    return result;
}

}  // namespace nelvo::DemoSchedule
