#include "ui/tour/tour_step.h"

#include <array>

namespace nelvo::TourSteps {
namespace {

struct Text {
    const char* key;
    const char* icon;
    const char* fallback;
    const char* title;
    const char* body;
};

const Text& text(TourStep step)
{
    static const std::array<Text, 8> table{{
        {"days", "view-continuous-symbolic", ":/side/icons/slider.svg",
         "Choose how many days to share.",
         "Slide to share one day or up to two weeks. Click a date to leave that day out; "
         "weekends are skipped unless you turn that off in Settings."},
        {"start", "x-office-calendar-symbolic", ":/side/icons/calendar.svg",
         "Start on a later day.",
         "Away this week? Click the calendar and pick the day you're back; your free time is "
         "counted from there."},
        {"hours", "object-flip-vertical-symbolic", ":/side/icons/up-down.svg", "Set your hours.",
         "Drag the orange and blue bars to say when your day starts and ends. Drag a bar inside "
         "one day to set that day alone."},
        {"freeTime", "zoom-fit-best-symbolic", ":/side/icons/compress.svg", "Shape the free time.",
         "Green bands are what you'll share. Drag an edge to trim one; double-click to put it "
         "back."},
        {"events", "view-list-bullet-symbolic", ":/side/icons/list.svg", "Peek at a day.",
         "Open a day's events to see what's booked, on which calendar, and what overlaps. The × "
         "beside a meeting frees that time here; your calendar isn't touched."},
        {"zones", "preferences-system-time-symbolic", ":/side/icons/globe.svg", "Add time zones.",
         "Each ruler is a zone. Add one with +, remove one with the × that appears when you "
         "hover it, drag to reorder, double-click a name to rename."},
        {"copy", "edit-copy-symbolic", ":/side/icons/copy.svg", "Share or copy.",
         "Copy puts an easy-to-read message on the clipboard as rich text, HTML, Markdown, and "
         "plain text. Share sends it straight to e-mail, a phone, or another app. Only times "
         "leave the app."},
        {"settings", "emblem-system-symbolic", ":/side/icons/gear.svg", "Everything else.",
         "Your time zone and clock, the shortest free time worth sharing and how much notice "
         "you need, which calendars count, and sounds live here. So does this tour."},
    }};
    return table[static_cast<std::size_t>(step)];
}

constexpr std::array<TourStep, 8> order{TourStep::days,     TourStep::start,   TourStep::hours,
                                        TourStep::freeTime, TourStep::events,  TourStep::zones,
                                        TourStep::copy,     TourStep::settings};

}  // namespace

std::span<const TourStep> all()
{
    return order;
}
const char* title(TourStep step)
{
    return text(step).title;
}
const char* body(TourStep step)
{
    return text(step).body;
}
const char* iconName(TourStep step)
{
    return text(step).icon;
}
const char* fallbackIcon(TourStep step)
{
    return text(step).fallback;
}
std::string anchorName(TourStep step)
{
    return std::string("tour.") + text(step).key;
}

}  // namespace nelvo::TourSteps
